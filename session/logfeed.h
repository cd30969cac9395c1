// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/logsink.h"
#include "session/receiveddisplay.h"

#include <QList>
#include <QString>
#include <QTime>

#include <array>
#include <functional>
#include <memory>

class CaptureFile;
class LogDisplay;

// The activity log between the routines that write to it and the text boxes
// that show it. It puts the time in front of entries when asked, shows
// received bytes the chosen way, and captures entries to a file; the entries
// themselves, received bytes above all, reach it unaltered and leave it so.
//
// tickEnded() closes each receive tick: a capture writes that tick's entries
// in one write, and bytes held back for a split character are shown when no
// more came.
class LogFeed : public LogSink {
public:
    LogFeed();
    ~LogFeed() override;

    void updateLog(const QString& Data, LogCategory Cat) override;
    // Received bytes shown as designed and untimed go to the text boxes, and
    // to a capture, as bytes; anything else as the text they stand for.
    void updateLogBytes(const QByteArray& Data, LogCategory Cat) override;
    // Empties every text box; a capture goes on.
    void clear();
    void tickEnded();
    // Message characters of one category logged so far (0: any other).
    qint64 loggedCharacters(LogCategory Cat) const;

    void addDisplay(LogDisplay* display);
    void removeDisplay(LogDisplay* display);
    // The lines a text box keeps: a hex entry is made no longer than that
    // unless a capture needs all of it.
    void setDisplayLines(int lines) { m_displayLines = lines; }

    // Each applies to the entries that follow.
    void setShowTimes(bool on) { m_showTimes = on; }
    bool showsTimes() const { return m_showTimes; }
    void setReceivedAs(ReceivedAs mode) { m_received.setMode(mode); }
    ReceivedAs receivedAs() const { return m_received.mode(); }
    void setStripTerminalCodes(bool on) { m_received.setStripTerminalCodes(on); }
    bool stripsTerminalCodes() const { return m_received.stripsTerminalCodes(); }

    // Starts capturing to a file from the next entry on, ending any capture
    // before. A file that cannot be used gives one "Capture: " Error line
    // and false. Raw: the received bytes alone, exactly as they came.
    bool startCapture(const QString& path, bool raw);
    void stopCapture();
    bool capturing() const { return m_capture != nullptr; }
    QString capturePath() const;
    // Called when a failed write has ended the capture.
    void setCaptureEnded(std::function<void()> ended) { m_captureEnded = std::move(ended); }

    // Where the times come from (tests give their own).
    void setClock(std::function<QTime()> clock) { m_clock = std::move(clock); }

    // "14:03:07.412 ": the time in front of an entry.
    static QString stamp(const QTime& time);

private:
    void show(const QString& stamp, LogCategory Cat, const QString& shown);
    // One entry of a capture that is not raw: its time, prefix and text.
    void captureEntry(const QString& time, LogCategory Cat, const QByteArray& shownUtf8);
    void writeCapture();

    QList<LogDisplay*> m_displays;
    ReceivedDisplay m_received;
    bool m_showTimes = false;
    int m_displayLines = 0;
    bool m_receivedThisTick = false;
    std::unique_ptr<CaptureFile> m_capture;
    std::function<void()> m_captureEnded;
    std::function<QTime()> m_clock;
    std::array<qint64, 5> m_loggedCharacters{}; // by category; 0 = any other
};
