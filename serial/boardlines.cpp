// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/boardlines.h"

#include "base/failure.h"

namespace {

// With RTS/CTS flow control the driver drives RTS itself.
bool rtsIsFlowControls(int handshaking) {
    return handshaking >= 2;
}

// Inverts a line for `ms` and puts it back: either edge resets a board whose
// reset pin hangs off it through a capacitor.
void pulse(ModemLines& lines, void (ModemLines::*set)(bool), bool state, int ms) {
    (lines.*set)(!state);
    lines.hold(ms);
    (lines.*set)(state);
}

} // namespace

QString resetBoard(ModemLines& lines, const ResetPlan& plan, const PortNames& port) {
    if (plan.method == ResetMethod::None)
        throw Failure(QStringLiteral("resetting is switched off for %1 (Reset=none in the [COM] "
                                     "section of the settings file)")
                          .arg(port.com));
    if (plan.method != ResetMethod::Dtr && rtsIsFlowControls(port.handshaking))
        throw Failure(QStringLiteral("this reset needs RTS, which belongs to the RTS/CTS flow "
                                     "control of %1: use Reset=dtr, or flow control None or "
                                     "XON/XOFF")
                          .arg(port.com));
    const std::optional<ModemLines::States> before = lines.modemLines();
    if (!before)
        throw Failure(QStringLiteral("%1 has no DTR or RTS line (a pseudo-terminal has none): "
                                     "the board was not reset")
                          .arg(port.where));

    const int ms = plan.pulseMs;
    switch (plan.method) {
    case ResetMethod::Dtr:
        pulse(lines, &ModemLines::setDtr, before->dtr, ms);
        return QStringLiteral("Reset %1 (DTR pulse %2 ms)").arg(port.com, QString::number(ms));
    case ResetMethod::Rts:
        pulse(lines, &ModemLines::setRts, before->rts, ms);
        return QStringLiteral("Reset %1 (RTS pulse %2 ms)").arg(port.com, QString::number(ms));
    case ResetMethod::Esp:
        // The two transistors of the auto-reset circuit: RTS on with DTR off
        // pulls EN low while IO0 stays high, so the chip restarts into its
        // firmware rather than the boot loader.
        lines.setDtr(false);
        lines.setRts(true);
        lines.hold(ms);
        lines.setRts(false);
        // IO0 must stay high a moment after EN rises: the chip latches it then.
        lines.hold(ms);
        // DTR first: RTS on with DTR off again would pull EN low once more.
        lines.setDtr(before->dtr);
        lines.setRts(before->rts);
        return QStringLiteral("Reset %1 (ESP32/ESP8266 auto-reset, EN low %2 ms)")
            .arg(port.com, QString::number(ms));
    case ResetMethod::None:
        break;
    }
    return {};
}

QString sendBreak(ModemLines& lines, const PortNames& port) {
    // A pseudo-terminal takes a break request and drops it; so does any
    // device without modem lines.
    if (!lines.modemLines())
        throw Failure(QStringLiteral("%1 has no modem control lines (a pseudo-terminal has none): "
                                     "no break was sent")
                          .arg(port.where));
    lines.setBreak(true);
    lines.hold(BreakMs);
    lines.setBreak(false);
    return QStringLiteral("Sent a %1 ms break to %2").arg(QString::number(BreakMs), port.com);
}

void applyLinesOnOpen(ModemLines& lines, const LinesOnOpen& wanted, int handshaking) {
    const bool rtsWanted = wanted.rts || rtsIsFlowControls(handshaking);
    if (wanted.dtr && rtsWanted)
        return; // as the system left them: nothing to ask of the device
    const std::optional<ModemLines::States> now = lines.modemLines();
    if (!now)
        return;
    if (now->dtr != wanted.dtr)
        lines.setDtr(wanted.dtr);
    if (!rtsWanted && now->rts)
        lines.setRts(false);
}
