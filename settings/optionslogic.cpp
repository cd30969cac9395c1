#include "app/failure.h"
#include "serial/comportmap.h"
#include "serial/portprobe.h"
#include "serial/serialport.h"
#include "settings/conversions.h"
#include "settings/settingsstore.h"
#include "ui/formmain.h"
#include "ui/formoptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>

namespace {

const QString App = QStringLiteral("Brovik");
const QString Outputs = QStringLiteral("Outputs");

QString outputKey(int i) {
    return QStringLiteral("Output%1").arg(i + 1);
}

// Selects the first entry whose text, passed through `key`, equals `value`.
template <typename Key> void selectMatching(QComboBox* list, const QString& value, Key key) {
    for (int i = 0; i < list->count(); ++i) {
        if (key(list->itemText(i)) == value) {
            list->setCurrentIndex(i);
            return;
        }
    }
}

void selectText(QComboBox* list, const QString& value) {
    selectMatching(list, value, [](const QString& text) { return text; });
}

// A list without a selection has nothing to hand on.
int selectedIndex(const QComboBox* list, const char* what) {
    if (list->currentIndex() < 0)
        throw Failure(QStringLiteral("no %1 selected").arg(QLatin1String(what)));
    return list->currentIndex();
}

QString selectedText(const QComboBox* list, const char* what) {
    return list->itemText(selectedIndex(list, what));
}

QString withoutCom(QString text) {
    return text.remove(QStringLiteral("COM"));
}

QString portToolTip(int n) {
    const QString path = ComPortMap::devicePath(n);
    const QString description = ComPortMap::description(n);
    return description.isEmpty() ? path : path + QStringLiteral(" (") + description + u')';
}

} // namespace

void FormOptions::load() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const double left = (static_cast<double>(area.width()) - width()) / 2.0;
        const double top = (static_cast<double>(area.height()) - height()) / 2.0;
        move(area.left() + static_cast<int>(left), area.top() + static_cast<int>(top));
    }
    showCurrentSettings();
}

void FormOptions::showCurrentSettings() {
    try {
        const QString flag = m_owner->AutoClearOnSend.toString();
        setStateCode(CheckAutoClear, QStringLiteral("the AutoClearOnSend flag"),
                     toInt16(QStringLiteral("the AutoClearOnSend flag"), flag));

        for (int i = 0; i < 8; ++i)
            TextOut1[i]->setText(SettingsStore::GetSetting(App, Outputs, outputKey(i)));

        for (int n = 1; n <= 4; ++n) {
            if (portExists(n)) {
                ComboPort->addItem(QStringLiteral("COM%1").arg(n));
                ComboPort->setItemData(ComboPort->count() - 1, portToolTip(n), Qt::ToolTipRole);
            }
        }
        // Adding the first entry selects it; the live port decides instead.
        ComboPort->setCurrentIndex(-1);

        SerialPort& port = m_owner->MSComm();
        const QString portText = QString::number(static_cast<qint16>(port.CommPort()));
        selectMatching(ComboPort, portText, withoutCom);

        const QString settings = port.Settings();
        const QStringList fields = settings.split(u',');
        auto field = [&](int i, const char* what) {
            if (i >= fields.size())
                throw Failure(QStringLiteral("the port settings \"%1\" have no %2")
                                  .arg(settings, QLatin1String(what)));
            return fields[i];
        };
        selectText(ComboBaudRate, field(0, "baud rate"));
        selectText(ComboDataBits, field(2, "data bits"));
        selectText(ComboStopBits, field(3, "stop bits"));
        selectMatching(ComboParity, field(1, "parity"),
                       [](const QString& text) { return text.left(1).toLower(); });

        const int flow = port.Handshaking();
        if (flow < 0 || flow >= ComboFlow->count())
            throw Failure(
                QStringLiteral("the flow control %1 is not one of the listed ones").arg(flow));
        ComboFlow->setCurrentIndex(flow);
    } catch (const std::exception& e) {
        m_owner->updateLog(QStringLiteral("Options: ") + describe(e), Error);
    }
}

void FormOptions::saveSettings() {
    try {
        m_owner->AutoClearOnSend = stateCode(CheckAutoClear);

        for (int i = 0; i < 8; ++i)
            SettingsStore::SaveSetting(App, Outputs, outputKey(i), TextOut1[i]->text());

        SerialPort& port = m_owner->MSComm();
        port.setPortOpen(false);

        port.setCommPort(toInt16(QStringLiteral("the port number"),
                                 withoutCom(selectedText(ComboPort, "port"))));

        const QString baud = selectedText(ComboBaudRate, "baud rate");
        const QString parity = selectedText(ComboParity, "parity").left(1).toLower();
        const QString dataBits = selectedText(ComboDataBits, "data bits");
        const QString stopBits = selectedText(ComboStopBits, "stop bits");
        port.setSettings(baud + u',' + parity + u',' + dataBits + u',' + stopBits);

        port.setHandshaking(static_cast<qint32>(selectedIndex(ComboFlow, "flow control")));

        port.setPortOpen(true);
        port.setInputLen(0);
        m_owner->saveSettings();
    } catch (const std::exception& e) {
        // The one routine that asks instead of logging; nothing is rolled back.
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Error Occurred"),
                        QStringLiteral("Error in setings: ") + describe(e) + QString(20, u' ') +
                            QStringLiteral("\r\nSave settings anyway?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() == QMessageBox::Yes)
            m_owner->saveSettings();
    }
}

void FormOptions::CheckAutoClear_Click() {
    // A greyed box (from a stored 2) becomes an ordinary two-state box once clicked.
    CheckAutoClear->setTristate(false);
    m_owner->AutoClearOnSend = stateCode(CheckAutoClear);
}

void FormOptions::cmdOK_Click() {
    saveSettings();
    accept();
}

void FormOptions::cmdApply_Click() {
    saveSettings();
}

void FormOptions::cmdCancel_Click() {
    reject();
}
