#include "ProfileFile.h"

#include "Encoding.h"
#include "Errors.h"
#include "NumberText.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace prolis::profile {

namespace {

struct Line {
    QByteArray text;       // without its terminator
    QByteArray terminator; // "\r\n", "\n", "\r" or empty for the last line
};

QList<Line> splitLines(const QByteArray& data) {
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == '\n' || data[i] == '\r') {
            Line l{data.mid(start, i - start), {}};
            if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') {
                l.terminator = "\r\n";
                ++i;
            } else {
                l.terminator = QByteArray(1, data[i]);
            }
            lines.append(l);
            start = i + 1;
        }
    }
    if (start < n) lines.append(Line{data.mid(start), {}});
    return lines;
}

// The section name of a "[name]" line, or a null string.
QString sectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('[')) return {};
    const qsizetype close = t.indexOf(']');
    if (close < 0) return {};
    return fromCp1250(t.mid(1, close - 1)).trimmed();
}

bool keyOfLine(const QByteArray& line, QString& key, QString& value) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) return false;
    const QByteArray t = line.trimmed();
    if (t.startsWith(';') || t.startsWith('[')) return false;
    key = fromCp1250(line.left(eq)).trimmed();
    value = fromCp1250(line.mid(eq + 1)).trimmed();
    return true;
}

// Index of the section header line, -1 when missing.
qsizetype findSection(const QList<Line>& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i].text);
        if (!name.isNull() && name.compare(section.trimmed(), Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

// End of the section body (index of the next header or of the end).
qsizetype sectionEnd(const QList<Line>& lines, qsizetype header) {
    qsizetype i = header + 1;
    while (i < lines.size() && sectionName(lines[i].text).isNull())
        ++i;
    return i;
}

qsizetype findKey(const QList<Line>& lines, qsizetype header, const QString& key, QString* value) {
    const qsizetype end = sectionEnd(lines, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        QString k, v;
        if (keyOfLine(lines[i].text, k, v) && k.compare(key.trimmed(), Qt::CaseInsensitive) == 0) {
            if (value) *value = v;
            return i;
        }
    }
    return -1;
}

QByteArray readAll(const QString& path, bool& exists) {
    exists = QFileInfo::exists(path);
    if (!exists) return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw SettingsError(QStringLiteral("Unable to read %1").arg(QFileInfo(path).absoluteFilePath()));
    return f.readAll();
}

QString unquote(const QString& v) {
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

} // namespace

QString readString(const QString& path, const QString& section, const QString& key, const QString& fallback) {
    bool exists = false;
    const QList<Line> lines = splitLines(readAll(path, exists));
    if (!exists) return fallback;
    const qsizetype header = findSection(lines, section);
    if (header < 0) return fallback;
    QString value;
    if (findKey(lines, header, key, &value) < 0) return fallback;
    return unquote(value).left(MaxValueLength);
}

int readInteger(const QString& path, const QString& section, const QString& key, int fallback) {
    QString text = readString(path, section, key, QString());
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) text = QLatin1Char('$') + text.mid(2);
    int v = 0;
    return tryTextToInt(text, v) ? v : fallback;
}

void writeString(const QString& path, const QString& section, const QString& key, const QString& value) {
    const QString full = QFileInfo(path).absoluteFilePath();
    const auto fail = [&] { throw SettingsError(QStringLiteral("Unable to write to %1").arg(full)); };
    bool exists = false;
    QList<Line> lines;
    try {
        lines = splitLines(readAll(path, exists));
    } catch (const SettingsError&) {
        fail();
    }
    const QByteArray entry = toCp1250(key + QLatin1Char('=') + value);
    qsizetype header = findSection(lines, section);
    if (header < 0) {
        if (!lines.isEmpty() && lines.back().terminator.isEmpty()) lines.back().terminator = "\r\n";
        lines.append(Line{"[" + toCp1250(section) + "]", "\r\n"});
        lines.append(Line{entry, "\r\n"});
    } else {
        const qsizetype at = findKey(lines, header, key, nullptr);
        if (at >= 0) {
            lines[at].text = entry;
        } else {
            // After the last non-blank line of the section.
            qsizetype pos = sectionEnd(lines, header);
            while (pos - 1 > header && lines[pos - 1].text.trimmed().isEmpty())
                --pos;
            if (lines[pos - 1].terminator.isEmpty()) lines[pos - 1].terminator = "\r\n";
            lines.insert(pos, Line{entry, "\r\n"});
        }
    }
    QByteArray out;
    for (const Line& l : lines)
        out += l.text + l.terminator;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) fail();
    if (f.write(out) != out.size()) fail();
    if (!f.flush()) fail();
    f.close();
    if (f.error() != QFileDevice::NoError) fail();
}

void writeInteger(const QString& path, const QString& section, const QString& key, int value) {
    writeString(path, section, key, QString::number(value));
}

} // namespace prolis::profile
