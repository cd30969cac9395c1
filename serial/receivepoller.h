// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class LogSink;
class SerialPort;

// Takes everything waiting on the port at each tick of the 500 ms timer and
// logs it as one Received entry, exactly as it arrived. After a loss it
// reopens the device when it comes back.
class ReceivePoller {
public:
    ReceivePoller(SerialPort& port, LogSink& log) : m_port(port), m_log(log) {}

    // One tick. Returns true when the device was found gone (the loss is
    // logged once) or came back and was reopened at this tick, so the caller
    // refreshes the status line.
    bool tick();

private:
    SerialPort& m_port;
    LogSink& m_log;
};
