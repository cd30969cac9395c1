// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// A file the log is captured to. Entries gather in memory during a tick and
// go to the file in one write at its end: a crash of the program then loses
// at most the last tick, since what was written is the system's to keep.
class CaptureFile {
public:
    // Opens the file for appending (see openForAppending); throws Failure.
    // `raw`: the file takes the received bytes alone.
    CaptureFile(const QString& path, bool raw);
    // Writes what is left; a failure here has nowhere to go and is dropped.
    ~CaptureFile();
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    const QString& path() const { return m_path; }
    bool raw() const { return m_raw; }

    // Adds to what the next write takes. The bytes are shared, not copied:
    // a tick's received data goes to the file from the array it came in.
    void add(const QByteArray& bytes);
    // Writes everything pending; throws Failure with the system's reason.
    // What could not be written is dropped, so a later write does not repeat it.
    void write();

private:
    QString m_path;
    bool m_raw;
    int m_fd = -1;
    QByteArrayList m_pending;
};
