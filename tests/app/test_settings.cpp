#include "app/U_IniData.h"
#include "core/Errors.h"
#include "core/ProfileFile.h"
#include "db/ConnectionSettings.h"
#include "support/FullDisk.h"
#include "support/RecordingUi.h"

#include "support/Controls.h"
#include <QTemporaryDir>
#include <sys/stat.h>

#include <QtTest>
#include <QtWidgets>

using namespace prolis;
using prolis::test::child;
using prolis::test::RecordingUi;

namespace {
QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void profileRead_data();
    void profileRead();
    void profileWrite_data();
    void profileWrite();
    void writeFailure();
    void templateCreatedByDialog();
    void userSettingsFile();
    void readOnlyBesideProgram();
    void templateLoadsEmptyAndAsksPassword();
    void portValues_data();
    void portValues();
    void blankPortAtSave();
    void typedPortWithBlank();
    void saveRoundTripAsksPasswordAgain();
    void passwordNeverWritten();
    void loadErrorClearsAll_data();
    void loadErrorClearsAll();
    void missingFileKeepsValues();
    void ukoncitAsks();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
};

void TestSettings::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_ini = m_dir->filePath(QStringLiteral("prolis.ini"));
    setSettingsFilePathOverride(m_ini);
    connectionSettings() = ConnectionSettings{};
}

void TestSettings::cleanup() {
    setSettingsFilePathOverride({});
    m_dir.reset();
}

void TestSettings::profileRead_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QByteArray("[Database]\r\nHostName=db1\r\n") << "Database"
                           << "HostName"
                           << "db1";
    QTest::newRow("case of names") << QByteArray("[DATABASE]\r\nhostname=db1\r\n") << "Database"
                                   << "HostName"
                                   << "db1";
    QTest::newRow("blanks and quotes")
        << QByteArray("[Database]\r\n  HostName =  \"a b\"  \r\n") << "Database"
        << "HostName"
        << "a b";
    QTest::newRow("LF only") << QByteArray("[Database]\nUser=kovar\n") << "Database"
                             << "User"
                             << "kovar";
    QTest::newRow("other section") << QByteArray("[Other]\r\nUser=x\r\n[Database]\r\nUser=y\r\n")
                                   << "Database"
                                   << "User"
                                   << "y";
    QTest::newRow("missing key") << QByteArray("[Database]\r\nUser=y\r\n") << "Database"
                                 << "HostName"
                                 << "dflt";
    QTest::newRow("missing section") << QByteArray("[Other]\r\nHostName=y\r\n") << "Database"
                                     << "HostName"
                                     << "dflt";
    QTest::newRow("key of a later section not taken")
        << QByteArray("[Database]\r\n[Other]\r\nHostName=y\r\n") << "Database"
        << "HostName"
        << "dflt";
    QTest::newRow("cp1250") << QByteArray("[Database]\r\nUser=\x9e\xe1k\r\n") << "Database"
                            << "User"
                            << "žák";
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBF[Database]\r\nUser=\xC5\xBE\xC3\xA1k\r\n") << "Database"
        << "User"
        << "žák";
    QTest::newRow("2047 characters at most")
        << QByteArray("[Database]\r\nUser=") + QByteArray(3000, 'a') << "Database"
        << "User" << QString(2047, QLatin1Char('a'));
}

void TestSettings::profileRead() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    writeBytes(m_ini, file);
    QCOMPARE(profile::readString(m_ini, section, key, QStringLiteral("dflt")), value);
}

void TestSettings::profileWrite_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("replace keeps other lines")
        << QByteArray("; note\n[Database]\r\nHostName=old\r\nPort=1\n") << "HostName"
        << "new" << QByteArray("; note\n[Database]\r\nHostName=new\r\nPort=1\n");
    QTest::newRow("add key to section")
        << QByteArray("[Database]\r\nHostName=h\r\n\r\n[X]\r\na=1\r\n") << "User"
        << "u" << QByteArray("[Database]\r\nHostName=h\r\nUser=u\r\n\r\n[X]\r\na=1\r\n");
    QTest::newRow("add section") << QByteArray("[X]\r\na=1") << "User"
                                 << "u" << QByteArray("[X]\r\na=1\r\n[Database]\r\nUser=u\r\n");
    QTest::newRow("create file") << QByteArray() << "Port"
                                 << "3306" << QByteArray("[Database]\r\nPort=3306\r\n");
    QTest::newRow("UTF-8 file stays UTF-8 with its mark")
        << QByteArray("\xEF\xBB\xBF[Database]\r\nUser=x\r\n") << "User"
        << "žák" << QByteArray("\xEF\xBB\xBF[Database]\r\nUser=\xC5\xBE\xC3\xA1k\r\n");
    QTest::newRow("cp1250 after a character outside it")
        << QByteArray("[Database]\r\nHostName=x\r\n") << "HostName"
        << "ž∑ž-host" << QByteArray("[Database]\r\nHostName=\x9e?\x9e-host\r\n");
    QTest::newRow("template filled")
        << settingsTemplate() << "Port"
        << "99999" << QByteArray("[Database]\r\nHostName=\r\nPort=99999\r\nDatabase=\r\nUser=\r\n");
}

void TestSettings::profileWrite() {
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (!before.isEmpty()) writeBytes(m_ini, before);
    profile::writeString(m_ini, SettingsSection, key, value);
    QCOMPARE(readBytes(m_ini), after);
}

void TestSettings::writeFailure() {
    const QString path = m_dir->filePath(QStringLiteral("missing/prolis.ini"));
    try {
        profile::writeString(path, SettingsSection, QStringLiteral("User"), QStringLiteral("x"));
        QFAIL("no error");
    } catch (const SettingsError& e) {
        QCOMPARE(e.message(), QStringLiteral("Unable to write to %1").arg(path));
    }
    // The disk fills up during the save: the message, and the old file whole.
    const QByteArray before(
        "[Database]\r\nHostName=db.example.lan\r\nPort=3306\r\nDatabase=prolis\r\nUser=u\r\n");
    writeBytes(m_ini, before);
    const int code = test::withDiskFullAfter(40, [&] {
        try {
            profile::writeString(m_ini, SettingsSection, QStringLiteral("User"), QStringLiteral("technolog"));
        } catch (const SettingsError& e) {
            return e.message() == QStringLiteral("Unable to write to %1").arg(m_ini) ? 1 : 2;
        }
        return 0;
    });
    QCOMPARE(code, 1);
    QCOMPARE(readBytes(m_ini), before);
}

void TestSettings::templateCreatedByDialog() {
    RecordingUi ui;
    TIniData dialog;
    dialog.FormShow();
    const QByteArray bytes = readBytes(m_ini);
    QCOMPARE(bytes.size(), 48);
    QCOMPARE(bytes, QByteArray("[Database]\r\nHostName=\r\nPort=\r\nDatabase=\r\nUser=\r\n"));
    QCOMPARE(child<QLineEdit>(&dialog, "Host")->text(), QString());
    QCOMPARE(child<QLineEdit>(&dialog, "Port")->displayText(), QStringLiteral("     "));
    QVERIFY(ui.messages.isEmpty());
}

void TestSettings::userSettingsFile() {
    // No settings file beside the program (an installed one): the user's
    // $XDG_CONFIG_HOME/Prolis/prolis.ini, its folder made by the first start's
    // template; one beside the program comes first when there is one.
    setSettingsFilePathOverride({});
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
    const QString user = m_dir->filePath(QStringLiteral("config/Prolis/prolis.ini"));
    QCOMPARE(settingsFilePath(), user);
    RecordingUi ui;
    {
        TIniData dialog;
        dialog.FormShow();
    }
    QCOMPARE(readBytes(user), settingsTemplate());
    QVERIFY(ui.messages.isEmpty());
    const QString beside = m_dir->filePath(QStringLiteral("prog/x.ini"));
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("prog"))));
    QCOMPARE(settingsFileIn(m_dir->filePath(QStringLiteral("prog")), QStringLiteral("x.ini")), user);
    writeBytes(beside, settingsTemplate());
    QCOMPARE(settingsFileIn(m_dir->filePath(QStringLiteral("prog")), QStringLiteral("x.ini")), beside);
    if (home.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", home);
}

void TestSettings::readOnlyBesideProgram() {
    // A file beside the program that may not be changed: the dialog shows
    // its values, a save goes to the user's file, and that is what is read
    // from then on.
    setSettingsFilePathOverride({});
    const QByteArray home = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
    const QString user = m_dir->filePath(QStringLiteral("config/Prolis/prolis.ini"));
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    const QString beside = exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".ini");
    writeBytes(beside, "[Database]\r\nHostName=db.lan\r\nPort=3307\r\nDatabase=prolis\r\nUser=technolog\r\n");
    QVERIFY(QFile::setPermissions(beside, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QCOMPARE(settingsFilePath(), beside);
    {
        RecordingUi ui;
        TIniData dialog;
        dialog.FormShow();
        QCOMPARE(child<QLineEdit>(&dialog, "Host")->text(), QStringLiteral("db.lan"));
        QCOMPARE(child<QLineEdit>(&dialog, "User")->text(), QStringLiteral("technolog"));
        QVERIFY(!QFileInfo::exists(user));
        child<QLineEdit>(&dialog, "Host")->setText(QStringLiteral("db2.lan"));
        child<QPushButton>(&dialog, "Ulozit")->click();
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.texts().join('|')));
    }
    QCOMPARE(settingsFilePath(), user);
    QCOMPARE(connectionSettings().HostName, QStringLiteral("db2.lan"));
    QVERIFY(readConnectionSettings());
    QCOMPARE(connectionSettings().HostName, QStringLiteral("db2.lan"));
    QCOMPARE(connectionSettings().Port, 3307);
    QCOMPARE(readBytes(beside).contains("db.lan"), true); // the administrator's file untouched
    QFile::setPermissions(beside, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(beside);
    if (home.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", home);
}

void TestSettings::templateLoadsEmptyAndAsksPassword() {
    writeBytes(m_ini, settingsTemplate());
    connectionSettings().HostName = QStringLiteral("before");
    RecordingUi ui;
    int asked = 0;
    loadConnectionSettings([&] { ++asked; });
    QCOMPARE(asked, 1);
    QCOMPARE(connectionSettings().HostName, QString());
    QCOMPARE(connectionSettings().Port, 0);
    QVERIFY(ui.messages.isEmpty());
}

void TestSettings::portValues_data() {
    QTest::addColumn<QByteArray>("port");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("hex 0x") << QByteArray("0x0CEA") << 3306 << "3306 ";
    QTest::newRow("hex $") << QByteArray("$0CEA") << 3306 << "3306 ";
    QTest::newRow("letters") << QByteArray("abc") << 0 << "0    ";
    QTest::newRow("empty") << QByteArray("") << 0 << "0    ";
    QTest::newRow("decimal") << QByteArray("33306") << 33306 << "33306";
}

void TestSettings::portValues() {
    QFETCH(QByteArray, port);
    QFETCH(int, value);
    QFETCH(QString, shown);
    writeBytes(m_ini, "[Database]\r\nHostName=h\r\nPort=" + port + "\r\nDatabase=d\r\nUser=u\r\n");
    RecordingUi ui;
    loadConnectionSettings({});
    QCOMPARE(connectionSettings().Port, value);
    TIniData dialog;
    dialog.FormShow();
    QCOMPARE(child<QLineEdit>(&dialog, "Port")->displayText(), shown);
}

void TestSettings::blankPortAtSave() {
    const QByteArray before("[Database]\r\nHostName=old\r\nPort=3306\r\nDatabase=db\r\nUser=u\r\n");
    writeBytes(m_ini, before);
    RecordingUi ui;
    TIniData dialog;
    dialog.FormShow();
    child<QLineEdit>(&dialog, "Host")->setText(QStringLiteral("newhost"));
    child<QLineEdit>(&dialog, "Port")->setText(QString());
    child<QLineEdit>(&dialog, "Database")->setText(QStringLiteral("other"));
    child<QPushButton>(&dialog, "Ulozit")->click();
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages[0].kind, MsgKind::Stop);
    QCOMPARE(ui.messages[0].caption, QStringLiteral("Prolis"));
    QCOMPARE(ui.messages[0].text, QStringLiteral("'' is not a valid integer value."));
    QCOMPARE(readBytes(m_ini),
             QByteArray("[Database]\r\nHostName=newhost\r\nPort=3306\r\nDatabase=db\r\nUser=u\r\n"));
    QVERIFY(!ui.log.join('|').contains(QStringLiteral("modal:PasswordForm")));
}

void TestSettings::typedPortWithBlank() {
    // Blanks typed between the digits are not dropped: the text does not
    // convert, and the save stops after the host name.
    const QByteArray before("[Database]\r\nHostName=old\r\nPort=3306\r\nDatabase=db\r\nUser=u\r\n");
    writeBytes(m_ini, before);
    RecordingUi ui;
    TIniData dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* port = child<QLineEdit>(&dialog, "Port");
    port->setFocus();
    port->selectAll();
    QTest::keyClick(port, Qt::Key_Backspace);
    port->setCursorPosition(0);
    QTest::keyClicks(port, QStringLiteral("33 07"));
    QCOMPARE(port->displayText(), QStringLiteral("33 07"));
    child<QPushButton>(&dialog, "Ulozit")->click();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("'33 07' is not a valid integer value.")});
    QCOMPARE(readBytes(m_ini), before);
}

void TestSettings::saveRoundTripAsksPasswordAgain() {
    RecordingUi ui;
    TIniData dialog;
    dialog.FormShow();
    child<QLineEdit>(&dialog, "Host")->setText(QStringLiteral("127.0.0.1"));
    child<QLineEdit>(&dialog, "Port")->setText(QStringLiteral("99999"));
    child<QLineEdit>(&dialog, "Database")->setText(QStringLiteral("prolis"));
    child<QLineEdit>(&dialog, "User")->setText(QStringLiteral("technolog"));
    child<QPushButton>(&dialog, "Ulozit")->click();
    QVERIFY(ui.messages.isEmpty());
    QCOMPARE(ui.log, QStringList{QStringLiteral("modal:PasswordForm")});
    QCOMPARE(readBytes(m_ini),
             QByteArray(
                 "[Database]\r\nHostName=127.0.0.1\r\nPort=99999\r\nDatabase=prolis\r\nUser=technolog\r\n"));
    QCOMPARE(connectionSettings().Port, 99999);
    QCOMPARE(connectionSettings().User, QStringLiteral("technolog"));
    // The dialog stays open behind the password prompt: nothing closed it.
    QCOMPARE(dialog.result(), 0);
}

void TestSettings::passwordNeverWritten() {
    RecordingUi ui;
    ui.onModal = [](QObject* d) {
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("Password"));
        edit->setText(QStringLiteral("Tajne-Heslo-42"));
        d->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        return 1;
    };
    TIniData dialog;
    dialog.FormShow();
    child<QLineEdit>(&dialog, "Host")->setText(QStringLiteral("h"));
    child<QLineEdit>(&dialog, "Port")->setText(QStringLiteral("1"));
    for (int i = 0; i < 3; ++i) {
        child<QPushButton>(&dialog, "Ulozit")->click();
        QVERIFY(!readBytes(m_ini).contains("Tajne"));
    }
    QCOMPARE(connectionSettings().Password, QStringLiteral("Tajne-Heslo-42"));
    QVERIFY(!readBytes(m_ini).contains("Tajne"));
}

void TestSettings::loadErrorClearsAll_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a pipe") << "fifo";
    QTest::newRow("a link to /dev/zero") << "zero";
    QTest::newRow("over 1 MiB") << "large";
}

void TestSettings::loadErrorClearsAll() {
    // The settings path exists but is no settings file: a pipe would block
    // the start for ever, a link to a device would be read without end.
    QFETCH(QString, kind);
    if (kind == u"folder")
        QDir().mkpath(m_ini);
    else if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(m_ini).constData(), 0600), 0);
    else if (kind == u"zero")
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), m_ini));
    else
        writeBytes(m_ini, "[Database]\r\nHostName=h\r\n" + QByteArray(profile::MaxFileSize, ';'));
    connectionSettings() = ConnectionSettings{QStringLiteral("h"), 5, QStringLiteral("d"),
                                              QStringLiteral("u"), QStringLiteral("p")};
    RecordingUi ui;
    int asked = 0;
    loadConnectionSettings([&] { ++asked; });
    QCOMPARE(asked, 0);
    QCOMPARE(ui.texts(), QStringList{MsgSettingsLoadFailed});
    const ConnectionSettings& s = connectionSettings();
    QVERIFY(s.HostName.isEmpty() && s.Database.isEmpty() && s.User.isEmpty() && s.Password.isEmpty());
    QCOMPARE(s.Port, 0);
}

void TestSettings::missingFileKeepsValues() {
    connectionSettings() = ConnectionSettings{QStringLiteral("h"), 5, QStringLiteral("d"),
                                              QStringLiteral("u"), QStringLiteral("p")};
    RecordingUi ui;
    loadConnectionSettings([] { QFAIL("no password dialog without a settings file"); });
    QCOMPARE(ui.texts(), QStringList{MsgSettingsLoadFailed});
    QCOMPARE(ui.messages[0].kind, MsgKind::Plain);
    QCOMPARE(ui.messages[0].caption, QStringLiteral("Prolis"));
    QCOMPARE(connectionSettings().HostName, QStringLiteral("h"));
    QCOMPARE(connectionSettings().Port, 5);
    QVERIFY(connectionSettings().Password.isEmpty());
}

void TestSettings::ukoncitAsks() {
    RecordingUi ui;
    TIniData dialog;
    dialog.show();
    ui.answers = {Answer::No, Answer::Yes};
    child<QPushButton>(&dialog, "Ukoncit")->click();
    QVERIFY(dialog.isVisible());
    child<QPushButton>(&dialog, "Ukoncit")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(ui.texts(), QStringList(2, QStringLiteral("Skutečně chcete konfiguraci programu?")));
    QCOMPARE(ui.messages[0].caption, QStringLiteral("Confirm"));
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
