#pragma once
// Qt's own texts in Czech, for Prolis and MatEdit alike.
class QCoreApplication;

namespace prolis {

// Installs Qt's Czech translations (qtbase_cs); false when they are missing.
bool installCzechTranslations(QCoreApplication& app);

} // namespace prolis
