// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/formoptions.h"

#include "session/terminal.h"
#include "settings/optionchoices.h"
#include "ui/accessiblecontrols.h"
#include "ui/checkstate.h"
#include "ui/designlayout.h"
#include "ui/designstyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {

QGroupBox* frame(QWidget* parent, const char* name, const QString& title, QRect geometry) {
    auto* f = place<QGroupBox>(parent, QLatin1String(name), geometry);
    f->setTitle(title);
    return f;
}

// A drop-down list: the user picks an entry and cannot type one. It starts
// without a selection, as the fill relies on.
QComboBox* list(QWidget* parent, const char* name, QRect geometry, const QStringList& entries) {
    auto* c = place<QComboBox>(parent, QLatin1String(name), geometry);
    c->setEditable(false);
    c->addItems(entries);
    c->setCurrentIndex(-1);
    return c;
}

// The baud list also takes a rate the user types (74880 for an ESP8266's boot
// messages, 250000, 1500000); typing adds no entry to the list.
void allowTypedRates(QComboBox* c) {
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    auto* digits =
        new QIntValidator(OptionChoices::MinTypedBaudRate, OptionChoices::MaxTypedBaudRate, c);
    digits->setLocale(QLocale::c()); // no group separators: the text goes into the settings as is
    c->setValidator(digits);
    c->setCurrentIndex(-1);
}

} // namespace

FormOptions::FormOptions(QWidget* owner, Terminal& terminal)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_terminal(terminal) {
    setObjectName(QStringLiteral("formOptions"));
    // Before any control exists, so the check box's Toggle action is a click:
    // ticked through assistive technology, it sets the flag as a mouse click does,
    // while the fill (which sets the state, not a click) leaves the flag alone.
    installAccessibleControls();
    // A window does not take its owner's font by itself; this one should.
    setAttribute(Qt::WA_WindowPropagation);
    buildLayout();
    connectEvents();
}

void FormOptions::buildLayout() {
    setWindowTitle(QStringLiteral("Options"));
    setFixedSize(377, 262); // 5655 x 3930 twips
    setModal(true);

    fraDataField =
        frame(this, "fraDataField", QStringLiteral("Data Field"), twips(75, 75, 3015, 690));
    CheckAutoClear = place<QCheckBox>(fraDataField, QStringLiteral("CheckAutoClear"),
                                      twips(225, 300, 2640, 240));
    CheckAutoClear->setText(QStringLiteral("Auto clear data field on send"));

    fraCOMSettings =
        frame(this, "fraCOMSettings", QStringLiteral("COM Port"), twips(82, 840, 3030, 2550));
    QLabel** labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
    const QString captions[] = {QStringLiteral("Port:"),      QStringLiteral("Baud Rate:"),
                                QStringLiteral("Data Bits:"), QStringLiteral("Stop Bits:"),
                                QStringLiteral("Parity:"),    QStringLiteral("Flow Control:")};
    for (int row = 0; row < 6; ++row)
        *labels[row] = label(fraCOMSettings, QStringLiteral("Label%1").arg(row + 1), captions[row],
                             twips(150, 300 + 375 * row, 915, 240), Qt::AlignRight);
    auto comboRow = [](int row) { return twips(1125, 225 + 375 * row, 1740, 315); };
    ComboPort = list(fraCOMSettings, "ComboPort", comboRow(0), {});
    ComboBaudRate = list(fraCOMSettings, "ComboBaudRate", comboRow(1), OptionChoices::BaudRates);
    allowTypedRates(ComboBaudRate);
    ComboDataBits = list(fraCOMSettings, "ComboDataBits", comboRow(2), OptionChoices::DataBits);
    ComboStopBits = list(fraCOMSettings, "ComboStopBits", comboRow(3), OptionChoices::StopBits);
    ComboParity = list(fraCOMSettings, "ComboParity", comboRow(4), OptionChoices::Parities);
    ComboFlow = list(fraCOMSettings, "ComboFlow", comboRow(5), OptionChoices::FlowControls);
    // Each label names its list for assistive technology.
    QComboBox* const lists[] = {ComboPort,     ComboBaudRate, ComboDataBits,
                                ComboStopBits, ComboParity,   ComboFlow};
    for (int row = 0; row < 6; ++row)
        (*labels[row])->setBuddy(lists[row]);

    fraOutputs = frame(this, "fraOutputs", QStringLiteral("Predefined Outputs"),
                       twips(3232, 75, 2340, 3315));
    fraOutputs->setToolTip(QStringLiteral(
        "Pre-define data to send when buttons on main form are pressed. Use 0xNNh to send "
        "control chars i.e. 0x08h for backspace"));
    QLabel** outLabels[] = {&Label7,  &Label8,  &Label9,  &Label10,
                            &Label11, &Label12, &Label13, &Label14};
    for (int k = 0; k < 8; ++k) {
        *outLabels[k] = label(fraOutputs, QStringLiteral("Label%1").arg(7 + k),
                              QStringLiteral("Out%1:").arg(k + 1),
                              twips(150, 300 + 375 * k, 465, 240), Qt::AlignLeft);
        TextOut1[k] = place<QLineEdit>(fraOutputs, QStringLiteral("TextOut1%1").arg(k),
                                       twips(600, 225 + 375 * k, 1590, 315));
        // As much as the data field takes: OK must store exactly what it was given.
        TextOut1[k]->setMaxLength(MaxFieldLength);
        (*outLabels[k])->setBuddy(TextOut1[k]);
    }

    cmdOK = button(this, "cmdOK", QStringLiteral("&OK"), twips(2040, 3525, 1095, 315));
    cmdCancel = button(this, "cmdCancel", QStringLiteral("&Cancel"), twips(3270, 3525, 1095, 315));
    cmdApply = button(this, "cmdApply", QStringLiteral("&Apply"), twips(4470, 3525, 1095, 315));

    const QList<QWidget*> order = {
        CheckAutoClear, ComboPort,   ComboBaudRate, ComboDataBits, ComboStopBits, ComboParity,
        ComboFlow,      TextOut1[0], TextOut1[1],   TextOut1[2],   TextOut1[3],   TextOut1[4],
        TextOut1[5],    TextOut1[6], TextOut1[7],   cmdOK,         cmdCancel,     cmdApply};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    CheckAutoClear->setFocus();
    applyDesignStyle(this);
}

void FormOptions::connectEvents() {
    connect(CheckAutoClear, &QCheckBox::clicked, this, &FormOptions::CheckAutoClear_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FormOptions::cmdOK_Click);
    connect(cmdApply, &QPushButton::clicked, this, &FormOptions::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FormOptions::cmdCancel_Click);
    for (int k = 0; k < SettingsKeys::OutputCount; ++k)
        connect(TextOut1[k], &QLineEdit::textChanged, this, [this, k] {
            if (!m_filling)
                m_outputKnown[k] = true;
        });
}

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
    OptionsView view;
    m_terminal.showCurrentSettings(view);
    showView(view);
}

void FormOptions::showView(const OptionsView& view) {
    m_filling = true;
    setStateCode(CheckAutoClear, view.autoClear);
    for (int k = 0; k < SettingsKeys::OutputCount; ++k) {
        m_outputKnown[k] = view.outputs[k].has_value();
        TextOut1[k]->setText(view.outputs[k].value_or(QString()));
    }
    for (const OptionsView::PortEntry& entry : view.ports) {
        ComboPort->addItem(entry.text);
        ComboPort->setItemData(ComboPort->count() - 1, entry.toolTip, Qt::ToolTipRole);
    }
    ComboPort->setCurrentIndex(view.port);
    ComboBaudRate->setCurrentIndex(view.baudRate);
    if (view.baudRate < 0)
        ComboBaudRate->setEditText(view.baudRateText);
    ComboDataBits->setCurrentIndex(view.dataBits);
    ComboStopBits->setCurrentIndex(view.stopBits);
    ComboParity->setCurrentIndex(view.parity);
    ComboFlow->setCurrentIndex(view.flow);
    m_filling = false;
}

OptionsView FormOptions::currentView() const {
    OptionsView view;
    view.autoClear = stateCode(CheckAutoClear);
    for (int k = 0; k < SettingsKeys::OutputCount; ++k)
        if (m_outputKnown[k])
            view.outputs[k] = TextOut1[k]->text();
    for (int i = 0; i < ComboPort->count(); ++i)
        view.ports.append({ComboPort->itemText(i), QString()});
    view.port = ComboPort->currentIndex();
    view.baudRateText = ComboBaudRate->currentText();
    view.baudRate = ComboBaudRate->findText(view.baudRateText, Qt::MatchExactly);
    view.dataBits = ComboDataBits->currentIndex();
    view.stopBits = ComboStopBits->currentIndex();
    view.parity = ComboParity->currentIndex();
    view.flow = ComboFlow->currentIndex();
    return view;
}

void FormOptions::saveSettings() {
    const std::optional<QString> failure = m_terminal.applyOptions(currentView());
    if (!failure)
        return;
    // The one routine that asks instead of logging; nothing is rolled back.
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Error Occurred"),
                    QStringLiteral("Error in setings: ") + *failure + QString(20, u' ') +
                        QStringLiteral("\r\nSave settings anyway?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() == QMessageBox::Yes)
        m_terminal.saveAppliedSettings();
}

void FormOptions::CheckAutoClear_Click() {
    // A greyed box (from a stored 2) becomes an ordinary two-state box once clicked.
    CheckAutoClear->setTristate(false);
    m_terminal.CheckAutoClear_Click(stateCode(CheckAutoClear));
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

void FormOptions::keyPressEvent(QKeyEvent* event) {
    // Keys reach here when the focused control leaves them; an open list
    // keeps Enter and Escape for itself.
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && event->key() == Qt::Key_Escape) {
        cmdCancel->click();
        return;
    }
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // No default button: Enter presses only the button that has the focus.
        if (auto* b = qobject_cast<QPushButton*>(focusWidget()); b && b->isEnabled())
            b->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
