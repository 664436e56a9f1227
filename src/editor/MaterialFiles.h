#pragma once
// Material files of the editor: one material with all its temperatures as
// the JSON array of material-file objects (one per temperature) that
// prolis-calc reads, imported and exported alike.
#include "domain/MaterialEdit.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace prolis::edit {

// A material file (an array of material-file objects, one per temperature,
// or one object) read and checked: the material, or why it is refused.
struct MaterialFile {
    std::optional<Material> material;
    QString refusal;
    bool unreadable = false; // the file itself could not be read
};
MaterialFile readMaterialFile(const QString& path);
inline constexpr qint64 MaxMaterialFileSize = 16 * 1024 * 1024;
// Why a material cannot be exported so that it imports back (a file holds
// the name and values only with a temperature's record); empty when it can.
QString exportRefusal(const Material& m);
// The export of a material: its records, lowest temperature first, as the
// JSON array that readMaterialFile reads.
QByteArray materialJson(const Material& m);

} // namespace prolis::edit
