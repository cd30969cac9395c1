// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/terminal.h"
#include "support/ptydevice.h"
#include "support/sessionrecord.h"
#include "support/testenv.h"

#include <QObject>

#include <memory>

class SerialPort;

// Base of the tests that drive a terminal session, without a window, against
// a fresh pseudo-terminal device mapped as COM1, for every test function.
class PtyTerminalFixture : public QObject {
    Q_OBJECT
protected:
    TestEnv env;
    std::unique_ptr<PtyDevice> dev;
    std::unique_ptr<Terminal> t;
    std::unique_ptr<SessionRecord> record;
    RecordingPointer* pointer = nullptr; // the session's

    QString logText() const { return record->logText(); }
    // Loads the session (with a port of the test's own, if given), checks
    // that the port opened and forgets what the start-up reported.
    void start(std::unique_ptr<SerialPort> port = nullptr);

protected slots:
    void init();
    void cleanup();
};
