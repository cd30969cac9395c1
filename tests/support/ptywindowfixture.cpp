// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ptywindowfixture.h"

#include "serial/serialport.h"

#include <QPlainTextEdit>
#include <QTest>

QString PtyWindowFixture::logText() const {
    return w->txtLog->toPlainText();
}

void PtyWindowFixture::start(std::unique_ptr<SerialPort> port) {
    w = std::make_unique<FormMain>(std::move(port));
    w->load();
    QVERIFY2(w->MSComm().PortOpen(), qPrintable(logText()));
    w->btClear_Click();
}

void PtyWindowFixture::init() {
    env.clear();
    dev = std::make_unique<PtyDevice>();
    env.mapPort(1, dev->path());
}

void PtyWindowFixture::cleanup() {
    w.reset();
    dev.reset();
}
