// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/logfeed.h"

#include "base/failure.h"
#include "base/logprefix.h"
#include "serial/textbytes.h"
#include "session/capturefile.h"
#include "session/logdisplay.h"

#include <algorithm>

namespace {

std::size_t counterOf(LogCategory cat) {
    const auto v = static_cast<qint16>(cat);
    return v >= 1 && v <= 4 ? static_cast<std::size_t>(v) : 0;
}

constexpr int StampWidth = 13; // "HH:mm:ss.zzz "

// Received bytes stand for one character each: ASCII is its own UTF-8.
QByteArray latin1AsUtf8(const QByteArray& bytes) {
    const bool ascii = std::none_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; });
    return ascii ? bytes : QString::fromLatin1(bytes).toUtf8();
}

} // namespace

LogFeed::LogFeed() : m_clock([] { return QTime::currentTime(); }) {}

LogFeed::~LogFeed() = default;

QString LogFeed::stamp(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm:ss.zzz ")); // local time, as the clock panel
}

void LogFeed::updateLog(const QString& Data, LogCategory Cat) {
    m_loggedCharacters[counterOf(Cat)] += Data.size();
    const bool received = Cat == LogCategory::Received;
    const bool timedCapture = m_capture && !m_capture->raw();
    if (received) {
        m_receivedThisTick = true;
        if (m_capture && m_capture->raw())
            m_capture->add(toWireBytes(Data));
    }
    const QString time = m_showTimes || timedCapture ? stamp(m_clock()) : QString();
    if (!received || (m_received.mode() == ReceivedAs::Designed && !m_received.holding() &&
                      !m_received.stripsTerminalCodes())) {
        show(time, Cat, Data); // as designed: the message as it came, not even copied
        return;
    }
    const int indent = int(logPrefix(Cat).size()) + (m_showTimes ? StampWidth : 0);
    show(time, Cat, m_received.show(Data, indent, timedCapture ? 0 : m_displayLines));
}

void LogFeed::updateLogBytes(const QByteArray& Data, LogCategory Cat) {
    if (Cat != LogCategory::Received || m_showTimes || m_received.mode() != ReceivedAs::Designed ||
        m_received.holding() || m_received.stripsTerminalCodes()) {
        updateLog(QString::fromLatin1(Data), Cat);
        return;
    }
    m_loggedCharacters[counterOf(Cat)] += Data.size();
    m_receivedThisTick = true;
    if (m_capture && m_capture->raw())
        m_capture->add(Data);
    else if (m_capture)
        captureEntry(stamp(m_clock()), Cat, latin1AsUtf8(Data));
    for (LogDisplay* d : std::as_const(m_displays))
        d->showBytes(Data, Cat);
}

void LogFeed::captureEntry(const QString& time, LogCategory Cat, const QByteArray& shownUtf8) {
    m_capture->add(time.toUtf8() + logPrefix(Cat).toUtf8());
    m_capture->add(shownUtf8);
    m_capture->add(QByteArrayLiteral("\r\n"));
}

void LogFeed::show(const QString& time, LogCategory Cat, const QString& shown) {
    const QString prefix = logPrefix(Cat);
    if (m_capture && !m_capture->raw()) {
        // Hex rows stand under the first one, after the time the boxes lack.
        if (!m_showTimes && m_received.mode() == ReceivedAs::Hex && Cat == LogCategory::Received)
            captureEntry(time, Cat,
                         QString(shown).replace(u'\n', u'\n' + QString(StampWidth, u' ')).toUtf8());
        else
            captureEntry(time, Cat, shown.toUtf8());
    }
    if (m_showTimes) {
        const QString entry = time + prefix + shown;
        for (LogDisplay* d : std::as_const(m_displays))
            d->showEntry(entry, LogCategory(0));
    } else {
        for (LogDisplay* d : std::as_const(m_displays))
            d->showEntry(shown, Cat);
    }
}

void LogFeed::tickEnded() {
    // Bytes of a character that never came whole: shown as they are.
    if (!m_receivedThisTick && m_received.holding()) {
        const QString time = m_showTimes || m_capture ? stamp(m_clock()) : QString();
        const int indent =
            int(logPrefix(LogCategory::Received).size()) + (m_showTimes ? StampWidth : 0);
        show(time, LogCategory::Received, m_received.takeHeld(indent));
    }
    m_receivedThisTick = false;
    writeCapture();
}

void LogFeed::writeCapture() {
    if (!m_capture)
        return;
    try {
        m_capture->write();
    } catch (const Failure& f) {
        const QString path = m_capture->path();
        m_capture.reset(); // before the line, which the file cannot take
        updateLog(QStringLiteral("Capture: cannot write to %1: %2; the capture has stopped")
                      .arg(path, f.description()),
                  LogCategory::Error);
        if (m_captureEnded)
            m_captureEnded();
    }
}

void LogFeed::clear() {
    for (LogDisplay* d : std::as_const(m_displays))
        d->clearShown();
}

qint64 LogFeed::loggedCharacters(LogCategory Cat) const {
    return m_loggedCharacters[counterOf(Cat)];
}

void LogFeed::addDisplay(LogDisplay* display) {
    if (!m_displays.contains(display))
        m_displays.append(display);
}

void LogFeed::removeDisplay(LogDisplay* display) {
    m_displays.removeAll(display);
}

bool LogFeed::startCapture(const QString& path, bool raw) {
    stopCapture();
    try {
        m_capture = std::make_unique<CaptureFile>(path, raw);
        return true;
    } catch (const Failure& f) {
        updateLog(QStringLiteral("Capture: cannot capture to %1: %2").arg(path, f.description()),
                  LogCategory::Error);
        return false;
    }
}

void LogFeed::stopCapture() {
    if (!m_capture)
        return;
    writeCapture();
    m_capture.reset();
}

QString LogFeed::capturePath() const {
    return m_capture ? m_capture->path() : QString();
}
