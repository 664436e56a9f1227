#include "SystemInfo.h"

#include <QFile>
#include <QStringList>

#include <cmath>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

namespace prolis {

namespace {
QString readTextFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}
} // namespace

QString linuxOsLine(const QString& osName, const QString& kernelRelease) {
    // "6.1.0-18-amd64": major 6, minor 1, the rest "0-18-amd64".
    const QStringList parts = kernelRelease.split(QLatin1Char('.'));
    const QString major = parts.value(0);
    const QString minor = parts.value(1);
    const QString rest = parts.size() > 2 ? parts.mid(2).join(QLatin1Char('.')) : QString();
    return QStringLiteral("%1 Version: %2.%3 Build: %4").arg(osName, major, minor, rest);
}

QString memoryLine(quint64 totalBytes) {
    // "#,###": the kilobytes rounded half away from zero, grouped with the
    // Czech thousands separator (a no-break space); zero gives no digits.
    const auto kb = static_cast<quint64>(std::floor(static_cast<double>(totalBytes) / 1024.0 + 0.5));
    QString digits = kb == 0 ? QString() : QString::number(kb);
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += QChar(0x00A0);
        grouped += digits[i];
    }
    return QStringLiteral("Memory ") + grouped + QStringLiteral(" KB");
}

QString cpuLine(const QString& vendor, const QString& identifier) {
    return QStringLiteral("CPU ") + vendor + QLatin1Char(' ') + identifier;
}

CpuFacts parseCpuInfo(const QString& text) {
    CpuFacts facts;
    bool haveVendor = false, haveModel = false;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0) continue;
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("vendor_id") && !haveVendor) {
            facts.vendor = value;
            haveVendor = true;
        } else if (key == QLatin1String("model name") && !haveModel) {
            facts.model = value;
            haveModel = true;
        }
    }
    return facts;
}

QString parseOsRelease(const QString& text) {
    QString pretty, name;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        auto value = [&](qsizetype from) {
            QString v = line.mid(from).trimmed();
            if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
                v.back() == v.front())
                v = v.mid(1, v.size() - 2);
            return v;
        };
        if (line.startsWith(QLatin1String("PRETTY_NAME=")))
            pretty = value(12);
        else if (line.startsWith(QLatin1String("NAME=")))
            name = value(5);
    }
    return pretty.isEmpty() ? name : pretty;
}

SystemFacts readSystemFacts() {
    SystemFacts f;
    struct utsname u {};
    QString release, sysname;
    if (uname(&u) == 0) {
        release = QString::fromLocal8Bit(u.release);
        sysname = QString::fromLocal8Bit(u.sysname);
    }
    QString os = parseOsRelease(readTextFile(QStringLiteral("/etc/os-release")));
    if (os.isEmpty()) os = sysname;
    f.osLine = linuxOsLine(os, release);

    struct sysinfo si {};
    quint64 total = 0;
    if (sysinfo(&si) == 0) total = static_cast<quint64>(si.totalram) * static_cast<quint64>(si.mem_unit);
    f.memoryLine = memoryLine(total);

    const CpuFacts cpu = parseCpuInfo(readTextFile(QStringLiteral("/proc/cpuinfo")));
    f.cpuLine = cpuLine(cpu.vendor, cpu.model);
    return f;
}

} // namespace prolis
