#pragma once

#include "base/logsink.h"
#include "settings/lineends.h"

#include <QVariant>
#include <QWidget>

#include <array>
#include <memory>

class ActivityLog;
class FileSender;
class MainSettings;
class OptionsLogic;
class OverridePointer;
class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class ReceivePoller;
class SendPipeline;
class SerialPort;
class StatusPanel;

// The main window. It builds its controls (ui/formmain.cpp) and hands each
// event on to the part that does the work; the parts live in serial/,
// transmit/ and settings/ and know nothing of windows.
class FormMain : public QWidget {
    Q_OBJECT
public:
    FormMain();
    // The window owns the port; tests may hand in their own.
    explicit FormMain(std::unique_ptr<SerialPort> port);
    ~FormMain() override;

    // Life cycle (ui/startup.cpp): centre, load the settings, open the port; Exit.
    void load();
    void btExit_Click();

    // Activity log and status line (ui/activitylog.cpp, serial/connectionstatus.cpp).
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
    void btSendFile_Click();

    // Receiving (serial/receivepoller.cpp).
    void Timer_Timer();

    // Dialogs and the banner link (ui/openoptions.cpp, ui/mainlinks.cpp).
    void btOptions_Click();
    void btAbout_Click();
    void imgHeaderZanthe_Click();
    // The Options dialog's logic, bound to this window's port, flag and log.
    OptionsLogic optionsLogic();
    // Each output button's tooltip and accessible description tell what it
    // sends, read from the stored outputs (ui/outputdescriptions.cpp).
    void updateOutputDescriptions();

    SerialPort& MSComm() { return *m_comm; }

    // The program-wide auto-clear flag: the stored text after start-up, an
    // integer once the Options dialog has set it, nothing before loading.
    QVariant AutoClearOnSend;

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
    QFileDialog* CommonDialog = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    void connectEvents();
    void installKeyboard();
    void updateClock();
    LineEndStates lineEndStates() const;

    std::unique_ptr<SerialPort> m_comm;
    std::unique_ptr<OverridePointer> m_pointer;
    std::unique_ptr<ActivityLog> m_log;
    std::unique_ptr<SendPipeline> m_pipeline;
    std::unique_ptr<FileSender> m_fileSender;
    std::unique_ptr<ReceivePoller> m_poller;
    std::unique_ptr<MainSettings> m_settings;
};
