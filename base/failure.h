// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>

// A failure that a handler turns into one Error line: its description is the
// text that follows the handler's tag.
class Failure : public std::exception {
public:
    explicit Failure(QString description)
        : m_description(std::move(description)), m_utf8(m_description.toUtf8()) {}

    const QString& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

// The description of any exception, for handlers that catch everything.
inline QString describe(const std::exception& e) {
    if (auto* f = dynamic_cast<const Failure*>(&e))
        return f->description();
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral("out of memory");
    return QString::fromLocal8Bit(e.what());
}
