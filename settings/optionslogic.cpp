// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/optionslogic.h"

#include "base/reportfailure.h"
#include "serial/portprobe.h"
#include "serial/serialport.h"
#include "settings/conversions.h"
#include "settings/optionchoices.h"
#include "settings/settingsstore.h"

#include <QLocale>

#include <algorithm>

using namespace SettingsKeys;

namespace {

// The first entry whose text, passed through `key`, equals `value`, or -1.
template <typename Key>
int firstMatching(const QStringList& entries, const QString& value, Key key) {
    for (int i = 0; i < entries.size(); ++i)
        if (key(entries[i]) == value)
            return i;
    return -1;
}

int firstEqual(const QStringList& entries, const QString& value) {
    return firstMatching(entries, value, [](const QString& text) { return text; });
}

QString parityLetter(const QString& entry) {
    return entry.left(1).toLower();
}

QString withoutCom(QString text) {
    return text.remove(QStringLiteral("COM"));
}

// A list without a selection has nothing to hand on.
int selectedIndex(int index, const char* what) {
    if (index < 0)
        throw Failure(QStringLiteral("no %1 selected").arg(QLatin1String(what)));
    return index;
}

QString selectedText(const QStringList& entries, int index, const char* what) {
    return entries.at(selectedIndex(index, what));
}

// A rate typed into the baud list; the device may still refuse it when the port opens.
QString typedBaudRate(const QString& text) {
    bool ok = false;
    const int rate = text.toInt(&ok);
    const bool digits = std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (!ok || !digits || rate < OptionChoices::MinTypedBaudRate ||
        rate > OptionChoices::MaxTypedBaudRate)
        throw Failure(
            QStringLiteral("the baud rate \"%1\" is not a whole number from %2 to %3")
                .arg(text, QString::number(OptionChoices::MinTypedBaudRate),
                     QLocale(QLocale::English).toString(OptionChoices::MaxTypedBaudRate)));
    return QString::number(rate);
}

QString portToolTip(const ComPortMap& map, int n) {
    const QString path = map.devicePath(n);
    const QString description = map.description(n);
    return description.isEmpty() ? path : path + QStringLiteral(" (") + description + u')';
}

} // namespace

OptionsLogic::OptionsLogic(SerialPort& port, QVariant& autoClearOnSend, LogSink& log)
    : m_port(port), m_autoClearOnSend(autoClearOnSend), m_log(log) {}

void OptionsLogic::showCurrentSettings(OptionsView& view) {
    reportingFailures(m_log, QStringLiteral("Options: "), [&] {
        const QString flag = QStringLiteral("the AutoClearOnSend flag");
        view.autoClear = toCheckState(flag, toInt16(flag, m_autoClearOnSend.toString()));

        for (int i = 0; i < OutputCount; ++i)
            view.outputs[i] = SettingsStore::GetSetting(AppName, Outputs, outputKey(i + 1));

        const ComPortMap map = m_port.portMap();
        for (int n = OptionChoices::FirstListedPort; n <= OptionChoices::LastListedPort; ++n)
            if (portExists(map, n))
                view.ports.append({QStringLiteral("COM%1").arg(n), portToolTip(map, n)});
        QStringList portTexts;
        for (const OptionsView::PortEntry& entry : view.ports)
            portTexts << entry.text;
        view.port = firstMatching(
            portTexts, QString::number(static_cast<qint16>(m_port.CommPort())), withoutCom);

        // The fields as written: an upper-case parity letter matches no entry.
        const LineSettings::Fields& live = m_port.lineSettings().fields;
        view.baudRate = firstEqual(OptionChoices::BaudRates, live.baud);
        view.baudRateText = live.baud;
        view.dataBits = firstEqual(OptionChoices::DataBits, live.dataBits);
        view.stopBits = firstEqual(OptionChoices::StopBits, live.stopBits);
        view.parity = firstMatching(OptionChoices::Parities, live.parity, parityLetter);

        const int flow = m_port.Handshaking();
        if (flow < 0 || flow >= OptionChoices::FlowControls.size())
            throw Failure(
                QStringLiteral("the flow control %1 is not one of the listed ones").arg(flow));
        view.flow = flow;
    });
}

std::optional<QString> OptionsLogic::saveSettings(const OptionsView& view) {
    try {
        m_autoClearOnSend = int(view.autoClear);

        QList<SettingsStore::Entry> outputs;
        for (int i = 0; i < OutputCount; ++i)
            if (view.outputs[i])
                outputs.append({Outputs, outputKey(i + 1), *view.outputs[i]});
        if (!outputs.isEmpty()) {
            const QString note = SettingsStore::SaveSettings(AppName, outputs);
            if (!note.isEmpty())
                m_log.updateLog(note, LogCategory::Info);
        }

        m_port.setPortOpen(false);

        const int port = selectedIndex(view.port, "port");
        m_port.setCommPort(
            toInt16(QStringLiteral("the port number"), withoutCom(view.ports.at(port).text)));

        LineSettings::Fields fields;
        fields.baud = view.baudRate < 0 && !view.baudRateText.isEmpty()
                          ? typedBaudRate(view.baudRateText)
                          : selectedText(OptionChoices::BaudRates, view.baudRate, "baud rate");
        fields.parity = parityLetter(selectedText(OptionChoices::Parities, view.parity, "parity"));
        fields.dataBits = selectedText(OptionChoices::DataBits, view.dataBits, "data bits");
        fields.stopBits = selectedText(OptionChoices::StopBits, view.stopBits, "stop bits");
        m_port.setSettings(LineSettings::format(fields));

        m_port.setHandshaking(static_cast<qint32>(selectedIndex(view.flow, "flow control")));

        m_port.setPortOpen(true);
        m_port.setInputLen(0);
        return std::nullopt;
    } catch (const std::exception& e) {
        return describe(e);
    }
}

void OptionsLogic::CheckAutoClear_Click(qint16 state) {
    m_autoClearOnSend = int(state);
}
