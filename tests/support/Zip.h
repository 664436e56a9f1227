#pragma once
// Reading one entry of a zip archive held in memory (a written .docx or
// .xlsx), for tests that read a document back instead of comparing text.
#include <QByteArray>
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

} // namespace prolis::test
