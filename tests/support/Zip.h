#pragma once
// Reading one entry of a zip archive held in memory (a written .docx or
// .xlsx), for tests that read a document back instead of comparing text.
#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>
#include <zip.h>

namespace prolis::test {

inline QByteArray zipEntry(const QByteArray& archive, const char* name) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src =
        zip_source_buffer_create(archive.constData(), static_cast<zip_uint64_t>(archive.size()), 0, &error);
    zip_t* zip = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
    QByteArray out;
    if (!zip) {
        if (src) zip_source_free(src);
    } else {
        zip_stat_t st;
        if (zip_stat(zip, name, 0, &st) == 0) {
            if (zip_file_t* f = zip_fopen(zip, name, 0)) {
                out.resize(static_cast<qsizetype>(st.size));
                if (zip_fread(f, out.data(), st.size) != static_cast<zip_int64_t>(st.size)) out.clear();
                zip_fclose(f);
            }
        }
        zip_close(zip);
    }
    zip_error_fini(&error);
    return out;
}

// The names of the archive's entries.
inline QStringList zipEntryNames(const QByteArray& archive) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src =
        zip_source_buffer_create(archive.constData(), static_cast<zip_uint64_t>(archive.size()), 0, &error);
    zip_t* zip = src ? zip_open_from_source(src, ZIP_RDONLY, &error) : nullptr;
    QStringList names;
    if (!zip) {
        if (src) zip_source_free(src);
    } else {
        for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
            names << QString::fromUtf8(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
        zip_close(zip);
    }
    zip_error_fini(&error);
    return names;
}

// The XML parts of an archive that a strict XML reader refuses, each with
// the reader's reason; empty when all are well-formed.
inline QStringList malformedXmlParts(const QByteArray& archive) {
    QStringList bad;
    const QStringList names = zipEntryNames(archive);
    if (names.isEmpty()) return {QStringLiteral("no entries")};
    for (const QString& name : names) {
        if (!name.endsWith(QLatin1String(".xml")) && !name.endsWith(QLatin1String(".rels"))) continue;
        QXmlStreamReader x(zipEntry(archive, name.toUtf8().constData()));
        while (!x.atEnd())
            x.readNext();
        if (x.hasError()) bad << name + QStringLiteral(": ") + x.errorString();
    }
    return bad;
}

} // namespace prolis::test
