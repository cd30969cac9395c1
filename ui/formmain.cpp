// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/formmain.h"

#include "serial/connectionstatus.h"
#include "serial/serialport.h"
#include "session/logfeed.h"
#include "session/terminal.h"
#include "settings/settingskeys.h"
#include "ui/accessiblecontrols.h"
#include "ui/checkstate.h"
#include "ui/designlayout.h"
#include "ui/designstyle.h"
#include "ui/linkarea.h"
#include "ui/logcontrols.h"
#include "ui/overridepointer.h"
#include "ui/pictures/banner.h"
#include "ui/statuspanel.h"
#include "ui/textfit.h"
#include "ui/weblinks.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace {

// A one-pixel rule between two points (horizontal only).
void rule(QWidget* parent, const char* name, int x1, int x2, int y) {
    auto* line = place<QFrame>(parent, name,
                               QRect(std::min(x1, x2) / 15, y / 15, std::abs(x2 - x1) / 15, 1));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
}

} // namespace

FormMain::FormMain() : FormMain(nullptr) {}

FormMain::FormMain(std::unique_ptr<SerialPort> port)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_terminal(std::make_unique<Terminal>(std::move(port), std::make_unique<OverridePointer>())) {
    setObjectName(QStringLiteral("formMain"));
    buildLayout();
    m_log = std::make_unique<LogFeed>();
    connectEvents();
    installKeyboard();
    m_logControls =
        std::make_unique<LogControls>(this, txtLog, *m_log, [this] { btClear_Click(); });
}

FormMain::~FormMain() = default;

void FormMain::buildLayout() {
    installAccessibleControls(); // before the controls are made
    setWindowTitle(SettingsKeys::AppName);
    setFixedSize(424, 301); // 6360 x 4515 twips
    applyDesignFont(this);

    // The banner is 30 twips wider than the window: its right edge is cut off.
    auto* banner = place<QLabel>(this, "PictureHead", twips(0, 0, 6390, 765));
    banner->setPixmap(bannerPixmap(devicePixelRatioF()));
    PictureHead = banner;
    PictureHead->setAccessibleName(QStringLiteral("Brovik banner"));
    imgHeaderZanthe = place<LinkArea>(PictureHead, "imgHeaderZanthe", twips(3825, 0, 2550, 765));
    imgHeaderZanthe->setToolTip(makerToolTip());
    imgHeaderZanthe->setAccessibleName(QStringLiteral("%1 web site").arg(makerName()));

    QFont bold = font();
    bold.setBold(true);
    Label4 = label(this, "Label4", QStringLiteral("Send to Port"), twips(75, 825, 1140, 240));
    Label4->setFont(bold);
    // Opaque headings: the rules running right from them start where the text ends.
    Label4->setAutoFillBackground(true);
    Label1 =
        label(this, "Label1", QStringLiteral("Data:"), twips(150, 1200, 405, 225), Qt::AlignRight);
    txtDataSend = place<QLineEdit>(this, "txtDataSend", twips(600, 1125, 3195, 285));
    txtDataSend->setMaxLength(MaxFieldLength);
    txtDataSend->setToolTip(
        QStringLiteral("Use 0xNNh to send control chars i.e. 0x08h for backspace"));
    txtDataSend->setAccessibleName(QStringLiteral("Data"));
    txtDataSend->setAccessibleDescription(txtDataSend->toolTip());
    CheckCR = place<QCheckBox>(this, "CheckCR", twips(3900, 1200, 540, 240));
    CheckCR->setText(QStringLiteral("CR"));
    CheckLF = place<QCheckBox>(this, "CheckLF", twips(4500, 1200, 540, 240));
    CheckLF->setText(QStringLiteral("LF"));
    btSendData =
        button(this, "btSendData", QStringLiteral("&Send Data"), twips(5100, 1125, 1140, 315));

    Label2 =
        label(this, "Label2", QStringLiteral("File:"), twips(150, 1575, 390, 240), Qt::AlignRight);
    txtFileSend = place<QLineEdit>(this, "txtFileSend", twips(600, 1500, 3195, 285));
    txtFileSend->setAccessibleName(QStringLiteral("File"));
    btChooseFile =
        button(this, "btChooseFile", QStringLiteral("File..."), twips(3900, 1500, 1140, 315));
    btChooseFile->setToolTip(QStringLiteral("Choose file to send"));
    btSendFile =
        button(this, "btSendFile", QStringLiteral("Send &File"), twips(5100, 1500, 1140, 315));

    txtLog = place<QPlainTextEdit>(this, "txtLog", twips(75, 2100, 3690, 2040));
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtLog->setTabChangesFocus(true);
    txtLog->setUndoRedoEnabled(false); // an undo history would keep every entry alive
    txtLog->setAccessibleName(QStringLiteral("Activity log"));

    Label3 =
        label(this, "Label3", QStringLiteral("Predefined Outputs"), twips(3825, 2100, 1665, 240));
    Label3->setFont(bold);
    Label3->setAutoFillBackground(true);
    for (int i = 0; i < 8; ++i) {
        const int left = 3900 + 600 * (i % 4);
        const int top = i < 4 ? 2400 : 2850;
        outputCmd[i] = button(this, "outputCmd", QStringLiteral("Out%1").arg(i + 1),
                              twips(left, top, 540, 315));
        outputCmd[i]->setObjectName(QStringLiteral("outputCmd%1").arg(i));
    }
    btOptions = button(this, "btOptions", QStringLiteral("&Options"), twips(3900, 3450, 1140, 315));
    btAbout = button(this, "btAbout", QStringLiteral("&About"), twips(5100, 3450, 1140, 315));
    btClear = button(this, "btClear", QStringLiteral("< &Clear Log"), twips(3900, 3825, 1140, 315));
    btExit = button(this, "btExit", QStringLiteral("E&xit"), twips(5100, 3825, 1140, 315));

    rule(this, "Line1", 15, 6225, 750);
    rule(this, "Line5", 900, 6300, 975);
    rule(this, "Line4", 6300, 75, 1950);
    rule(this, "Line3", 6300, 4500, 2250);
    rule(this, "Line2", 3825, 6300, 3300);

    // Rules lie under the headings they start from.
    for (QLabel* heading : {Label3, Label4})
        heading->raise();

    StatusBar = place<QStatusBar>(this, "StatusBar", twips(0, 4230, 6360, 285));
    StatusBar->setSizeGripEnabled(false);
    statusConnection =
        new StatusPanel(StatusBar, [this] { return connectionDetails(m_terminal->port()); });
    statusConnection->setObjectName(QStringLiteral("statusConnection"));
    // Neither panel gets a fixed accessible name: a label is read by its text,
    // and Qt announces a change of that text only while the name is unset.
    statusConnection->setMinimumWidth(500 / 15);
    statusConnection->setFrameShape(QFrame::StyledPanel);
    statusConnection->setFrameShadow(QFrame::Sunken);
    StatusBar->addWidget(statusConnection, 1);
    statusClock = new QLabel(StatusBar);
    statusClock->setObjectName(QStringLiteral("statusClock"));
    statusClock->setFixedWidth(900 / 15);
    statusClock->setAlignment(Qt::AlignCenter);
    statusClock->setFrameShape(QFrame::StyledPanel);
    statusClock->setFrameShadow(QFrame::Sunken);
    StatusBar->addPermanentWidget(statusClock);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(500);

    // Focus order as designed; the log sits between Clear Log and Exit.
    const QList<QWidget*> order = {txtDataSend,  CheckCR,      CheckLF,      btSendData,
                                   txtFileSend,  btChooseFile, btSendFile,   outputCmd[0],
                                   outputCmd[1], outputCmd[2], outputCmd[3], outputCmd[4],
                                   outputCmd[5], outputCmd[6], outputCmd[7], btOptions,
                                   btAbout,      btClear,      txtLog,       btExit};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QWidget* w :
         {static_cast<QWidget*>(PictureHead), imgHeaderZanthe, static_cast<QWidget*>(StatusBar)})
        w->setFocusPolicy(Qt::NoFocus);
    txtDataSend->setFocus();
    applyDesignStyle(this);
    updateOutputDescriptions();
}

void FormMain::connectEvents() {
    connect(btExit, &QPushButton::clicked, this, &FormMain::btExit_Click);
    connect(btClear, &QPushButton::clicked, this, &FormMain::btClear_Click);
    connect(btSendData, &QPushButton::clicked, this, &FormMain::btSendData_Click);
    for (int i = 0; i < 8; ++i)
        connect(outputCmd[i], &QPushButton::clicked, this, [this, i] { outputCmd_Click(i); });
    connect(btChooseFile, &QPushButton::clicked, this, &FormMain::btChooseFile_Click);
    connect(btSendFile, &QPushButton::clicked, this, &FormMain::btSendFile_Click);
    connect(btOptions, &QPushButton::clicked, this, &FormMain::btOptions_Click);
    connect(btAbout, &QPushButton::clicked, this, &FormMain::btAbout_Click);
    connect(static_cast<LinkArea*>(imgHeaderZanthe), &LinkArea::clicked, this,
            &FormMain::imgHeaderZanthe_Click);

    // A greyed box (a stored 2) becomes an ordinary two-state box once clicked.
    for (QCheckBox* box : {CheckCR, CheckLF}) {
        connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
        connect(box, &QCheckBox::stateChanged, this,
                [this] { m_terminal->setLineEnds(lineEndStates()); });
    }

    // What the session reports.
    connect(m_terminal.get(), &Terminal::logEntry, this,
            [this](const QString& Data, LogCategory Cat) { m_log->updateLog(Data, Cat); });
    connect(m_terminal.get(), &Terminal::logBytes, this,
            [this](const QByteArray& Data, LogCategory Cat) { m_log->updateLogBytes(Data, Cat); });
    connect(m_terminal.get(), &Terminal::statusChanged, this, [this](const QString& status) {
        statusConnection->setText(status);
        statusConnection->refreshDetails();
    });
    connect(m_terminal.get(), &Terminal::lineEndsLoaded, this, &FormMain::showLineEnds);

    connect(Timer, &QTimer::timeout, this, &FormMain::Timer_Timer);
    Timer->start();

    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &FormMain::updateClock);
    clock->start(1000);
    updateClock();
}

void FormMain::updateClock() {
    statusClock->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
}

// What the controls do: each hands on to the session.

void FormMain::updateLog(const QString& Data, LogCategory Cat) {
    m_terminal->updateLog(Data, Cat);
}

void FormMain::btClear_Click() {
    m_log->clear();
}

qint64 FormMain::loggedCharacters(LogCategory Cat) const {
    return m_log->loggedCharacters(Cat);
}

void FormMain::updateCommStatus() {
    m_terminal->updateCommStatus();
}

SerialPort& FormMain::MSComm() {
    return m_terminal->port();
}

LineEndStates FormMain::lineEndStates() const {
    return {stateCode(CheckCR), stateCode(CheckLF)};
}

void FormMain::showLineEnds() {
    const LineEndStates lineEnds = m_terminal->lineEnds();
    setStateCode(CheckCR, lineEnds.sendCR);
    setStateCode(CheckLF, lineEnds.sendLF);
}

void FormMain::loadSettings() {
    m_terminal->loadSettings();
}

void FormMain::saveSettings() {
    m_terminal->saveSettings();
}

void FormMain::SendData(const QString& DataToSend) {
    m_terminal->SendData(DataToSend);
}

QString FormMain::processData(const QString& Data) {
    return m_terminal->processData(Data);
}

void FormMain::btSendData_Click() {
    if (m_terminal->sendDataField(txtDataSend->text()))
        txtDataSend->clear();
}

void FormMain::outputCmd_Click(int index) {
    m_terminal->sendOutput(index);
}

QFileDialog* FormMain::commonDialog() {
    // Made when first needed: building it costs as much as the rest of the window.
    if (!CommonDialog) {
        CommonDialog = new QFileDialog(this, QStringLiteral("Open"));
        CommonDialog->setObjectName(QStringLiteral("CommonDialog"));
        CommonDialog->setFileMode(QFileDialog::ExistingFile);
        CommonDialog->setAcceptMode(QFileDialog::AcceptOpen);
        // "*" rather than "*.*": on Linux the latter hides files without a dot.
        CommonDialog->setNameFilter(QStringLiteral("All files (*)"));
    }
    return CommonDialog;
}

void FormMain::btChooseFile_Click() {
    // The dialog lives as long as the window, so it opens where the last
    // choice was. A cancel leaves the field as it is.
    if (commonDialog()->exec() != QDialog::Accepted)
        return;
    const QStringList chosen = CommonDialog->selectedFiles();
    if (!chosen.isEmpty() && !chosen.first().isEmpty())
        txtFileSend->setText(chosen.first());
}

void FormMain::btSendFile_Click() {
    m_terminal->SendFile(txtFileSend->text());
}

void FormMain::Timer_Timer() {
    m_terminal->tick();
    m_log->tickEnded();
}
