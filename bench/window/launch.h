// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Starts bench-window-app, with its own settings folder and a pseudo-terminal
// as COM1, or the minimal window bench-window-minimal.

#include "benchkit.h"

#include <memory>
#include <string>
#include <vector>

namespace bench {

struct WindowProcess {
    Pty pty;
    TempDir home;
    double startedAt = 0;
    std::unique_ptr<Child> child;
};

inline std::unique_ptr<WindowProcess> startWindow(bool brovik,
                                                  const std::vector<std::string>& args = {}) {
    auto p = std::make_unique<WindowProcess>();
    std::vector<std::string> argv = {
        helperPath(brovik ? "bench-window-app" : "bench-window-minimal")};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::pair<std::string, std::string>> env;
    if (brovik)
        env.push_back(configHomeFor(p->home, p->pty.path()));
    p->startedAt = now();
    p->child = std::make_unique<Child>(argv, env);
    return p;
}

} // namespace bench
