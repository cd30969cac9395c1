// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ptyterminalfixture.h"

#include "serial/serialport.h"

#include <QTest>

void PtyTerminalFixture::start(std::unique_ptr<SerialPort> port) {
    auto recording = std::make_unique<RecordingPointer>();
    pointer = recording.get();
    t = std::make_unique<Terminal>(std::move(port), std::move(recording));
    record = std::make_unique<SessionRecord>(*t);
    t->load();
    QVERIFY2(t->port().PortOpen(), qPrintable(logText()));
    record->clear();
    pointer->shapes.clear();
}

void PtyTerminalFixture::init() {
    env.clear();
    dev = std::make_unique<PtyDevice>();
    env.mapPort(1, dev->path());
}

void PtyTerminalFixture::cleanup() {
    record.reset();
    t.reset();
    pointer = nullptr;
    dev.reset();
}
