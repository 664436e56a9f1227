#pragma once
// The three lines of the About box about the computer: operating system,
// physical memory and processor.
#include <QString>
#include <QtGlobal>

namespace prolis {

// "<name> Version: <major>.<minor> Build: <rest of the kernel release>".
QString linuxOsLine(const QString& osName, const QString& kernelRelease);

// "Memory " + kilobytes rounded and grouped by thousands + " KB".
QString memoryLine(quint64 totalBytes);

// "CPU " + vendor + " " + identifier.
QString cpuLine(const QString& vendor, const QString& identifier);

struct CpuFacts {
    QString vendor;
    QString model;
};
// `vendor_id` and `model name` of the first processor in /proc/cpuinfo text.
CpuFacts parseCpuInfo(const QString& text);
// The PRETTY_NAME (or NAME) of an os-release text; empty when neither is there.
QString parseOsRelease(const QString& text);

struct SystemFacts {
    QString osLine;
    QString memoryLine;
    QString cpuLine;
};
// Reads this machine: /etc/os-release, uname, the kernel's memory total, /proc/cpuinfo.
SystemFacts readSystemFacts();

} // namespace prolis
