// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// A settings file in the INI form QSettings writes, kept as its lines. Values
// read as QSettings reads them (quotes, escapes, %-escaped keys, the section
// General holding the top-level keys); setting a key changes that key's value
// alone, so other sections, comments, blank lines and the bytes of every
// other value stay as they were.
class IniDocument {
public:
    explicit IniDocument(const QByteArray& contents = {});

    // False for what is no settings file at all: binary (a NUL byte), or text
    // of which no line is a section or a key. Such a file reads as empty.
    bool isSettings() const { return m_isSettings; }

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Every (key, value) of a section, each key once, in the file's order.
    QList<std::pair<QString, QString>> entries(const QString& section) const;
    // Leaves the line alone when it holds that value already.
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray contents() const;

private:
    enum class Kind { Other, Blank, Comment, Section, Key };
    struct Line {
        QByteArray text; // without the line break
        QByteArray lineBreak;
        Kind kind = Kind::Other;
        QString section; // a header's section, or the section a key is in
        QString key;
        qsizetype valueStart = 0; // the value's bytes in text, without spaces around
        qsizetype valueEnd = 0;
    };
    static Line parse(QByteArray text, QByteArray lineBreak, const QString& section);
    qsizetype find(const QString& section, const QString& key) const;

    QList<Line> m_lines;
    QByteArray m_lineBreak = QByteArrayLiteral("\n");
    bool m_isSettings = true;
};
