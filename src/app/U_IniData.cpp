#include "U_IniData.h"

#include "U_Password.h"
#include "core/NumberText.h"
#include "core/ProfileFile.h"
#include "db/ConnectionSettings.h"
#include "ui_U_IniData.h"
#include "widgets/DigitMask.h"
#include "widgets/Glyphs.h"
#include "widgets/UiServices.h"

#include <QDir>
#include <QFileInfo>
#include <QShowEvent>

namespace prolis {

namespace {
void askPassword(QWidget* owner) {
    TPassword dialog(owner);
    ui().execModal(&dialog);
}
} // namespace

TIniData::TIniData(QWidget* owner) : QDialog(owner), m_ui(std::make_unique<Ui::TIniData>()) {
    m_ui->setupUi(this);
    setButtonGlyphs(this);
    setFixedSize(size());
    m_portMask = new DigitMask(m_ui->Port, 5);
    connect(m_ui->Ulozit, &QPushButton::clicked, this, [this] { guarded([this] { UlozitClick(); }); });
    connect(m_ui->Ukoncit, &QPushButton::clicked, this, [this] { guarded([this] { UkoncitClick(); }); });
}

TIniData::~TIniData() {}

void TIniData::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) guarded([this] { FormShow(); });
}

void TIniData::FormShow() {
    const QString path = writableSettingsFilePath();
    // The fields show the file that is read (beside the program, when the
    // user's own copy is not written yet).
    if (QFileInfo::exists(path) || QFileInfo::exists(settingsFilePath())) {
        LoadFieldsFromFile();
    } else if (!writeSettingsTemplate(path)) {
        showMessage(MsgSettingsCreateFailed);
    }
}

void TIniData::LoadFieldsFromFile() {
    ConnectionSettings s;
    readSettingsFile(settingsFilePath(), s);
    m_ui->Host->setText(s.HostName);
    m_portMask->setText(QString::number(s.Port));
    m_ui->Database->setText(s.Database);
    m_ui->User->setText(s.User);
}

void TIniData::UlozitClick() {
    const QString path = writableSettingsFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath()); // the user's folder may not exist yet
    profile::writeString(path, SettingsSection, QStringLiteral("HostName"), m_ui->Host->text());
    const int port = textToInt(m_ui->Port->text().trimmed());
    profile::writeInteger(path, SettingsSection, QStringLiteral("Port"), port);
    profile::writeString(path, SettingsSection, QStringLiteral("Database"), m_ui->Database->text());
    profile::writeString(path, SettingsSection, QStringLiteral("User"), m_ui->User->text());
    loadConnectionSettings([this] { askPassword(this); });
}

void TIniData::UkoncitClick() {
    if (confirm(QStringLiteral("Skutečně chcete konfiguraci programu?"))) accept();
}

void loadConnectionSettings(const std::function<void()>& askPassword) {
    if (!readConnectionSettings()) {
        showMessage(MsgSettingsLoadFailed);
        return;
    }
    if (askPassword) askPassword();
}

} // namespace prolis
