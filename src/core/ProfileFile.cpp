#include "ProfileFile.h"

#include "Encoding.h"
#include "Errors.h"
#include "FileIo.h"
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

const QByteArray Utf8Bom("\xEF\xBB\xBF");

// The file's text: Windows-1250, or UTF-8 when it starts with the UTF-8
// byte-order mark (as editors on other systems write it).
struct Codec {
    bool utf8 = false;
    QString decode(const QByteArray& b) const { return utf8 ? QString::fromUtf8(b) : fromCp1250(b); }
    QByteArray encode(const QString& s) const { return utf8 ? s.toUtf8() : toCp1250(s); }
};

// The section name of a "[name]" line, or a null string.
QString sectionName(const QByteArray& line, const Codec& c) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('[')) return {};
    const qsizetype close = t.indexOf(']');
    if (close < 0) return {};
    return c.decode(t.mid(1, close - 1)).trimmed();
}

bool keyOfLine(const QByteArray& line, QString& key, QString& value, const Codec& c) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) return false;
    const QByteArray t = line.trimmed();
    if (t.startsWith(';') || t.startsWith('[')) return false;
    key = c.decode(line.left(eq)).trimmed();
    value = c.decode(line.mid(eq + 1)).trimmed();
    return true;
}

// Index of the section header line, -1 when missing.
qsizetype findSection(const QList<Line>& lines, const QString& section, const Codec& c) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i].text, c);
        if (!name.isNull() && name.compare(section.trimmed(), Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

// End of the section body (index of the next header or of the end).
qsizetype sectionEnd(const QList<Line>& lines, qsizetype header, const Codec& c) {
    qsizetype i = header + 1;
    while (i < lines.size() && sectionName(lines[i].text, c).isNull())
        ++i;
    return i;
}

qsizetype findKey(const QList<Line>& lines, qsizetype header, const QString& key, QString* value,
                  const Codec& c) {
    const qsizetype end = sectionEnd(lines, header, c);
    for (qsizetype i = header + 1; i < end; ++i) {
        QString k, v;
        if (keyOfLine(lines[i].text, k, v, c) && k.compare(key.trimmed(), Qt::CaseInsensitive) == 0) {
            if (value) *value = v;
            return i;
        }
    }
    return -1;
}

struct ProfileText {
    bool exists = false;
    Codec codec;
    QList<Line> lines;
};

ProfileText load(const QString& path) {
    ProfileText t;
    t.exists = QFileInfo::exists(path);
    if (!t.exists) return t;
    // Only a regular file of a settings file's size: a pipe would block the
    // program, a link to a device would be read without end.
    FileRead file = readBoundedFile(path, MaxFileSize);
    if (!file)
        throw SettingsError(readFailure(QFileInfo(path).absoluteFilePath(), file, MaxFileSize));
    QByteArray data = std::move(file.bytes);
    if (data.startsWith(Utf8Bom)) {
        t.codec.utf8 = true;
        data.remove(0, Utf8Bom.size());
    }
    t.lines = splitLines(data);
    return t;
}

QString unquote(const QString& v) {
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

} // namespace

QString readString(const QString& path, const QString& section, const QString& key, const QString& fallback) {
    const ProfileText file = load(path);
    if (!file.exists) return fallback;
    const qsizetype header = findSection(file.lines, section, file.codec);
    if (header < 0) return fallback;
    QString value;
    if (findKey(file.lines, header, key, &value, file.codec) < 0) return fallback;
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
    ProfileText file;
    try {
        file = load(path);
    } catch (const SettingsError&) {
        fail();
    }
    QList<Line>& lines = file.lines;
    const Codec& c = file.codec;
    const QByteArray entry = c.encode(key + QLatin1Char('=') + value);
    qsizetype header = findSection(lines, section, c);
    if (header < 0) {
        if (!lines.isEmpty() && lines.back().terminator.isEmpty()) lines.back().terminator = "\r\n";
        lines.append(Line{"[" + c.encode(section) + "]", "\r\n"});
        lines.append(Line{entry, "\r\n"});
    } else {
        const qsizetype at = findKey(lines, header, key, nullptr, c);
        if (at >= 0) {
            lines[at].text = entry;
        } else {
            // After the last non-blank line of the section.
            qsizetype pos = sectionEnd(lines, header, c);
            while (pos - 1 > header && lines[pos - 1].text.trimmed().isEmpty())
                --pos;
            if (lines[pos - 1].terminator.isEmpty()) lines[pos - 1].terminator = "\r\n";
            lines.insert(pos, Line{entry, "\r\n"});
        }
    }
    QByteArray out = c.utf8 ? Utf8Bom : QByteArray();
    for (const Line& l : lines)
        out += l.text + l.terminator;
    // Written whole or not at all: a failure leaves the old file as it was.
    if (!writeWholeFile(path, out)) fail();
}

void writeInteger(const QString& path, const QString& section, const QString& key, int value) {
    writeString(path, section, key, QString::number(value));
}

} // namespace prolis::profile
