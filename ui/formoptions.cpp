#include "ui/formoptions.h"

#include "ui/accessiblecontrols.h"
#include "ui/designlayout.h"
#include "ui/formmain.h"
#include "ui/textfit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

} // namespace

FormOptions::FormOptions(FormMain* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_owner(owner) {
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
    ComboBaudRate = list(fraCOMSettings, "ComboBaudRate", comboRow(1),
                         {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                          "38400", "56000", "57600", "115200"});
    ComboDataBits = list(fraCOMSettings, "ComboDataBits", comboRow(2), {"5", "6", "7", "8"});
    ComboStopBits = list(fraCOMSettings, "ComboStopBits", comboRow(3), {"1", "1.5", "2"});
    ComboParity =
        list(fraCOMSettings, "ComboParity", comboRow(4), {"None", "Odd", "Even", "Mark", "Space"});
    ComboFlow = list(fraCOMSettings, "ComboFlow", comboRow(5),
                     {"None", "Software (XON/XOFF)", "Hardware (RTS/CTS)", "Hard and Soft"});
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
    // Same rule as the main window: a caption too wide for its control is drawn smaller.
    fitCaptions(this);
}

void FormOptions::connectEvents() {
    connect(CheckAutoClear, &QCheckBox::clicked, this, &FormOptions::CheckAutoClear_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FormOptions::cmdOK_Click);
    connect(cmdApply, &QPushButton::clicked, this, &FormOptions::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FormOptions::cmdCancel_Click);
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
