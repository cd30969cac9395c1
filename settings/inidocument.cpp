// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/inidocument.h"

#include "settings/iniescaping.h"

#include <algorithm>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// QSettings keeps its top-level keys in the section [General] (any case), so
// that section is the one Brovik calls General. The empty name stands for it.
QString sectionId(const QString& section) {
    return section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ? QString()
                                                                               : section;
}

} // namespace

IniDocument::Line IniDocument::parse(QByteArray text, QByteArray lineBreak,
                                     const QString& section) {
    Line line{std::move(text), std::move(lineBreak), Kind::Other, section, {}, 0, 0};
    const QByteArray& t = line.text;
    qsizetype i = 0;
    while (i < t.size() && isSpace(t[i]))
        ++i;
    if (i == t.size()) {
        line.kind = Kind::Blank;
        return line;
    }
    if (t[i] == ';' || t[i] == '#') {
        line.kind = Kind::Comment;
        return line;
    }
    if (t[i] == '[') {
        const qsizetype close = t.indexOf(']', i);
        const QByteArray name = t.mid(i + 1, close < 0 ? -1 : close - i - 1).trimmed();
        line.kind = Kind::Section;
        line.section = name.compare("general", Qt::CaseInsensitive) == 0 ? QString() : iniKey(name);
        return line;
    }
    // The first "=" outside quotes ends the key; an unquoted ";" starts a comment.
    qsizetype equals = -1;
    qsizetype end = t.size();
    bool quoted = false;
    for (qsizetype j = i; j < t.size(); ++j) {
        const char c = t[j];
        if (c == '\\')
            ++j;
        else if (c == '"')
            quoted = !quoted;
        else if (c == '=' && !quoted && equals < 0)
            equals = j;
        else if (c == ';' && !quoted) {
            end = j;
            break;
        }
    }
    if (equals < 0)
        return line;
    line.key = iniKey(QByteArrayView(t).sliced(i, equals - i).trimmed());
    if (line.key.isEmpty())
        return line;
    line.kind = Kind::Key;
    line.valueStart = equals + 1;
    while (line.valueStart < end && isSpace(t[line.valueStart]))
        ++line.valueStart;
    line.valueEnd = end;
    while (line.valueEnd > line.valueStart && isSpace(t[line.valueEnd - 1]))
        --line.valueEnd;
    return line;
}

IniDocument::IniDocument(const QByteArray& contents) {
    QString section; // keys before any header are top-level ones
    bool anySetting = false;
    bool anyOther = false;
    qsizetype start = 0;
    while (start < contents.size()) {
        qsizetype newline = contents.indexOf('\n', start);
        if (newline < 0)
            newline = contents.size();
        QByteArray text = contents.mid(start, newline - start);
        QByteArray lineBreak = newline < contents.size() ? QByteArrayLiteral("\n") : QByteArray();
        if (text.endsWith('\r') && !lineBreak.isEmpty()) {
            text.chop(1);
            lineBreak.prepend('\r');
        }
        if (m_lines.isEmpty() && !lineBreak.isEmpty())
            m_lineBreak = lineBreak;
        Line line = parse(std::move(text), std::move(lineBreak), section);
        if (line.kind == Kind::Section)
            section = line.section;
        anySetting = anySetting || line.kind == Kind::Section || line.kind == Kind::Key;
        anyOther = anyOther || line.kind == Kind::Other;
        m_lines.append(std::move(line));
        start = newline + 1;
    }
    m_isSettings = !contents.contains('\0') && (anySetting || !anyOther);
}

qsizetype IniDocument::find(const QString& section, const QString& key) const {
    const QString id = sectionId(section);
    for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
        const Line& l = m_lines[i];
        if (l.kind == Kind::Key && l.key == key && l.section == id)
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    if (!m_isSettings)
        return std::nullopt;
    const qsizetype i = find(section, key);
    if (i < 0)
        return std::nullopt;
    const Line& l = m_lines[i];
    return iniValue(QByteArrayView(l.text).sliced(l.valueStart, l.valueEnd - l.valueStart));
}

QList<std::pair<QString, QString>> IniDocument::entries(const QString& section) const {
    QList<std::pair<QString, QString>> out;
    if (!m_isSettings)
        return out;
    const QString id = sectionId(section);
    for (const Line& l : m_lines)
        if (l.kind == Kind::Key && l.section == id &&
            std::none_of(out.begin(), out.end(), [&](const auto& e) { return e.first == l.key; }))
            out.append({l.key, *value(section, l.key)});
    return out;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    if (const qsizetype i = find(section, key); i >= 0) {
        if (this->value(section, key) == value)
            return;
        Line& l = m_lines[i];
        QByteArray text = l.text;
        text.replace(l.valueStart, l.valueEnd - l.valueStart, iniEscapedValue(value));
        l = parse(std::move(text), l.lineBreak, l.section);
        return;
    }
    const QString id = sectionId(section);
    Line added = parse(iniEscapedKey(key) + '=' + iniEscapedValue(value), m_lineBreak, id);
    // After the section's last key, or its header when it has none yet.
    qsizetype after = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (l.section == id && (l.kind == Kind::Key || (l.kind == Kind::Section && after < 0)))
            after = i;
    }
    if (after < 0) {
        if (!m_lines.isEmpty() && m_lines.last().kind != Kind::Blank)
            m_lines.append(parse({}, m_lineBreak, m_lines.last().section));
        const QByteArray header = id.isEmpty() ? QByteArrayLiteral("General") : iniEscapedKey(id);
        m_lines.append(parse('[' + header + ']', m_lineBreak, id));
        after = m_lines.size() - 1;
    }
    // A last line without its line break gets one before anything follows it.
    for (Line& l : m_lines)
        if (l.lineBreak.isEmpty())
            l.lineBreak = m_lineBreak;
    m_lines.insert(after + 1, std::move(added));
}

QByteArray IniDocument::contents() const {
    QByteArray out;
    for (const Line& l : m_lines)
        out += l.text + l.lineBreak;
    return out;
}
