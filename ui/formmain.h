// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/logsink.h"
#include "settings/lineends.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class LogControls;
class LogFeed;
class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class SerialPort;
class StatusPanel;
class Terminal;

// The main window. It builds its controls (ui/formmain.cpp) and hands each
// event on to its terminal session (session/terminal.cpp), which knows
// nothing of windows, and shows what the session reports.
class FormMain : public QWidget {
    Q_OBJECT
public:
    FormMain();
    // The session owns the port; tests may hand in their own.
    explicit FormMain(std::unique_ptr<SerialPort> port);
    ~FormMain() override;

    // Life cycle (ui/startup.cpp): centre, then the session loads the
    // settings and opens the port; Exit.
    void load();
    // The program's start: load() and show(), with the port opened just
    // after the window's first frame, and then `loaded`.
    void loadAndShow(std::function<void()> loaded = {});
    void btExit_Click();

    // Activity log and status line (session/logfeed.cpp, serial/connectionstatus.cpp).
    void updateLog(const QString& Data, LogCategory Cat);
    void btClear_Click();
    void updateCommStatus();
    qint64 loggedCharacters(LogCategory Cat) const;

    // Stored send preferences and port configuration (settings/mainsettings.cpp).
    void loadSettings();
    void saveSettings();

    // Sending (transmit/sendpipeline.cpp, datafield.cpp, outputs.cpp, filesend.cpp).
    void SendData(const QString& DataToSend);
    QString processData(const QString& Data);
    void btSendData_Click();
    void outputCmd_Click(int index);
    void btChooseFile_Click();
    // The open-file dialog, made on first use; it then lives as long as the window.
    QFileDialog* commonDialog();
    void btSendFile_Click();

    // Receiving (serial/receivepoller.cpp).
    void Timer_Timer();

    // Dialogs and the banner link (ui/openoptions.cpp, ui/mainlinks.cpp).
    void btOptions_Click();
    void btAbout_Click();
    void imgHeaderZanthe_Click();
    // Each output button's tooltip and accessible description tell what it
    // sends, read from the stored outputs (ui/outputdescriptions.cpp).
    void updateOutputDescriptions();

    Terminal& terminal() { return *m_terminal; }
    SerialPort& MSComm();
    // The log's context menu, its window, find, capture (ui/logcontrols.cpp).
    LogControls& logControls() { return *m_logControls; }

    // Controls, named as in the design.
    QWidget* PictureHead = nullptr;
    QWidget* imgHeaderZanthe = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtDataSend = nullptr;
    QCheckBox* CheckCR = nullptr;
    QCheckBox* CheckLF = nullptr;
    QPushButton* btSendData = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtFileSend = nullptr;
    QPushButton* btChooseFile = nullptr;
    QPushButton* btSendFile = nullptr;
    QPlainTextEdit* txtLog = nullptr;
    QLabel* Label3 = nullptr;
    std::array<QPushButton*, 8> outputCmd{};
    QPushButton* btOptions = nullptr;
    QPushButton* btAbout = nullptr;
    QPushButton* btClear = nullptr;
    QPushButton* btExit = nullptr;
    QStatusBar* StatusBar = nullptr;
    StatusPanel* statusConnection = nullptr;
    QLabel* statusClock = nullptr;
    QTimer* Timer = nullptr;
    QFileDialog* CommonDialog = nullptr; // see commonDialog()

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void centre();
    void runAfterFirstFrame();
    void buildLayout();
    void connectEvents();
    void installKeyboard();
    void updateClock();
    LineEndStates lineEndStates() const;
    void showLineEnds();

    std::unique_ptr<Terminal> m_terminal;
    std::unique_ptr<LogFeed> m_log;
    std::unique_ptr<LogControls> m_logControls;
    std::function<void()> m_afterFirstFrame; // the rest of loadAndShow()
};
