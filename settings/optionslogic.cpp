#include "settings/optionslogic.h"

#include "base/reportfailure.h"
#include "serial/comportmap.h"
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

QString portToolTip(int n) {
    const QString path = ComPortMap::devicePath(n);
    const QString description = ComPortMap::description(n);
    return description.isEmpty() ? path : path + QStringLiteral(" (") + description + u')';
}

} // namespace

OptionsLogic::OptionsLogic(SerialPort& port, QVariant& autoClearOnSend, LogSink& log,
                           std::function<void()> saveMainSettings)
    : m_port(port), m_autoClearOnSend(autoClearOnSend), m_log(log),
      m_saveMainSettings(std::move(saveMainSettings)) {}

void OptionsLogic::showCurrentSettings(OptionsView& view) {
    reportingFailures(m_log, QStringLiteral("Options: "), [&] {
        const QString flag = QStringLiteral("the AutoClearOnSend flag");
        view.autoClear = toCheckState(flag, toInt16(flag, m_autoClearOnSend.toString()));

        for (int i = 0; i < OutputCount; ++i)
            view.outputs[i] = SettingsStore::GetSetting(AppName, Outputs, outputKey(i + 1));

        for (int n = OptionChoices::FirstListedPort; n <= OptionChoices::LastListedPort; ++n)
            if (portExists(n))
                view.ports.append({QStringLiteral("COM%1").arg(n), portToolTip(n)});
        QStringList portTexts;
        for (const OptionsView::PortEntry& entry : view.ports)
            portTexts << entry.text;
        view.port = firstMatching(
            portTexts, QString::number(static_cast<qint16>(m_port.CommPort())), withoutCom);

        const QString settings = m_port.Settings();
        const QStringList fields = settings.split(u',');
        auto field = [&](int i, const char* what) {
            if (i >= fields.size())
                throw Failure(QStringLiteral("the port settings \"%1\" have no %2")
                                  .arg(settings, QLatin1String(what)));
            return fields[i];
        };
        view.baudRate = firstEqual(OptionChoices::BaudRates, field(0, "baud rate"));
        view.baudRateText = field(0, "baud rate");
        view.dataBits = firstEqual(OptionChoices::DataBits, field(2, "data bits"));
        view.stopBits = firstEqual(OptionChoices::StopBits, field(3, "stop bits"));
        view.parity = firstMatching(OptionChoices::Parities, field(1, "parity"), parityLetter);

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

        const QString baud =
            view.baudRate < 0 && !view.baudRateText.isEmpty()
                ? typedBaudRate(view.baudRateText)
                : selectedText(OptionChoices::BaudRates, view.baudRate, "baud rate");
        const QString parity =
            parityLetter(selectedText(OptionChoices::Parities, view.parity, "parity"));
        const QString dataBits = selectedText(OptionChoices::DataBits, view.dataBits, "data bits");
        const QString stopBits = selectedText(OptionChoices::StopBits, view.stopBits, "stop bits");
        m_port.setSettings(baud + u',' + parity + u',' + dataBits + u',' + stopBits);

        m_port.setHandshaking(static_cast<qint32>(selectedIndex(view.flow, "flow control")));

        m_port.setPortOpen(true);
        m_port.setInputLen(0);
        m_saveMainSettings();
        return std::nullopt;
    } catch (const std::exception& e) {
        return describe(e);
    }
}

void OptionsLogic::CheckAutoClear_Click(qint16 state) {
    m_autoClearOnSend = int(state);
}
