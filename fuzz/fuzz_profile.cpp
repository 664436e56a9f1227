// The settings file reader and writer on any file content: values are read
// or defaulted, and a value written reads back.
#include "Invariants.h"
#include "core/ProfileFile.h"

#include <QFile>
#include <unistd.h>

using namespace prolis;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = QStringLiteral("/tmp/prolis-fuzz-profile-%1.ini").arg(::getpid());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    f.close();
    try {
        for (const char* key : {"HostName", "Port", "Database", "User"}) {
            const QString v = profile::readString(path, QStringLiteral("Database"), QLatin1String(key));
            if (v.size() > profile::MaxValueLength) fuzz::violated("value longer than 2047", v);
        }
        profile::readInteger(path, QStringLiteral("Database"), QStringLiteral("Port"));
        profile::writeString(path, QStringLiteral("Database"), QStringLiteral("User"),
                             QStringLiteral("technolog"));
        const QString back = profile::readString(path, QStringLiteral("Database"), QStringLiteral("User"));
        if (back != QLatin1String("technolog")) fuzz::violated("written value does not read back", back);
    } catch (const SettingsError& e) {
        if (!e.message().startsWith(QLatin1String("Unable to")))
            fuzz::violated("settings error text", e.message());
    }
    return 0;
}
