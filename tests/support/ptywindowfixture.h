// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/ptydevice.h"
#include "support/testenv.h"
#include "ui/formmain.h"

#include <QObject>

#include <memory>

class SerialPort;

// Base of the tests that drive the main window against a fresh
// pseudo-terminal device mapped as COM1, for every test function.
class PtyWindowFixture : public QObject {
    Q_OBJECT
protected:
    TestEnv env;
    std::unique_ptr<PtyDevice> dev;
    std::unique_ptr<FormMain> w;

    QString logText() const;
    // Loads the window (with a port of the test's own, if given), checks that
    // the port opened and clears the start-up lines from the log.
    void start(std::unique_ptr<SerialPort> port = nullptr);

protected slots:
    void init();
    void cleanup();
};
