#pragma once

#include <QVariant>
#include <QWidget>

#include <array>
#include <memory>

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class SerialPort;

// Kinds of activity-log entries; any other value gives no prefix.
enum LogCategory : qint16 { Info = 1, Received = 2, Sent = 3, Error = 4 };

// The main window. Its layout is built in ui/formmain.cpp; each behaviour
// lives in the file named after it (app/, serial/, settings/, transmit/).
class FormMain : public QWidget {
    Q_OBJECT
public:
    FormMain();
    // The window owns the port; tests may hand in their own.
    explicit FormMain(std::unique_ptr<SerialPort> port);
    ~FormMain() override;

    // Start-up: centre, load the settings, open the port, report (app/startup.cpp).
    void load();
    void btExit_Click();

    // Activity log and status line (app/activitylog.cpp, app/commstatus.cpp).
    void updateLog(const QString& Data, qint16 Cat);
    void btClear_Click();
    void updateCommStatus();
    // The log keeps its newest LogCapacityLines lines; older lines are
    // dropped. A line longer than LogLineLength characters is shown in pieces
    // of that length.
    static constexpr int LogCapacityLines = 20000;
    static constexpr int LogLineLength = 1000;
    // Message characters of one category appended since the window was
    // created, whatever the log's capacity kept (to measure that nothing is lost).
    qint64 loggedCharacters(qint16 Cat) const;

    // Stored send preferences and port configuration (settings/mainsettings.cpp).
    void loadSettings();
    void saveSettings();

    // Sending (transmit/).
    void SendData(const QString& DataToSend);
    QString processData(const QString& Data);
    void btSendData_Click();
    void outputCmd_Click(int index);
    void btChooseFile_Click();
    void btSendFile_Click();

    // Receiving (serial/receivepoller.cpp).
    void Timer_Timer();

    // Dialogs and the banner link.
    void btOptions_Click();
    void btAbout_Click();
    void imgHeaderZanthe_Click();
    // Each output button's tooltip and accessible description tell what it
    // sends, read from the stored outputs (ui/outputdescriptions.cpp).
    void updateOutputDescriptions();

    SerialPort& MSComm() { return *m_comm; }

    // The program-wide auto-clear flag: the stored text after start-up, an
    // integer once the Options dialog has set it, nothing before loading.
    QVariant AutoClearOnSend;
    // Whether the flag counts as on: a number other than 0.
    bool autoClearIsOn() const;

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
    QLabel* statusConnection = nullptr;
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
    // Pointer shapes for routines that write to the port.
    void setBusyPointer();
    void setDefaultPointer();

    std::unique_ptr<SerialPort> m_comm;
    std::array<qint64, 5> m_loggedCharacters{}; // by category; 0 = any other
    bool m_busyPointer = false;
};
