#include "app/Companion.h"
#include "app/ProlisApplication.h"
#include "app/SystemInfo.h"
#include "app/U_About.h"
#include "app/U_IniData.h"
#include "app/U_MainForm.h"
#include "app/U_Password.h"
#include "core/Errors.h"
#include "core/NumericKey.h"
#include "db/ConnectionSettings.h"
#include "gui/U_ProtlDopr.h"
#include "gui/U_ProtlZpet.h"
#include "support/RecordingUi.h"
#include "widgets/Glyphs.h"
#include "widgets/NumericKeyFilter.h"
#include "widgets/ProgramLauncher.h"
#include "widgets/QtUiServices.h"

#include "support/Controls.h"
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTemporaryDir>

#include <QtTest>
#include <QtWidgets>

using namespace prolis;
using prolis::test::child;
using prolis::test::RecordingUi;

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startWithoutSettingsFile();
    void startWithSettingsFileAsksPassword();
    void passwordOk();
    void passwordCancelAndEsc_data();
    void passwordCancelAndEsc();
    void passwordCloseBoxSaysNothing();
    void konec();
    void menuTree();
    void linuxLines();
    void memoryLine_data();
    void memoryLine();
    void cpuLines();
    void aboutBoxShowsFactsAndOpensLink_data();
    void aboutBoxShowsFactsAndOpensLink();
    void aboutBoxShowsLongLinesWhole();
    void printPreviewFitsTheScreen();
    void buttonGlyphs();
    void czechQtTexts();
    void startResults_data();
    void startResults();
    void companionRetryOn31();
    void launchResults();
    void topLevelHandler();
    void keyRule_data();
    void keyRule();
    void keyFilterInField();
    void missingRule_data();
    void missingRule();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestShell::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    setSettingsFilePathOverride(m_dir->filePath(QStringLiteral("prolis.ini")));
    connectionSettings() = ConnectionSettings{};
}

void TestShell::cleanup() {
    setSettingsFilePathOverride({});
}

void TestShell::startWithoutSettingsFile() {
    RecordingUi ui;
    TMainForm form;
    QCOMPARE(ui.texts(), QStringList{MsgSettingsLoadFailed});
    QVERIFY(!ui.log.join('|').contains(QStringLiteral("modal:")));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QStringLiteral("Prolis"));
    QCOMPARE(child<QWidget>(&form, "centralwidget")->size(), QSize(572, 130));
}

void TestShell::startWithSettingsFileAsksPassword() {
    QFile f(settingsFilePath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Database]\r\nHostName=db\r\nPort=3306\r\nDatabase=prolis\r\nUser=u\r\n");
    f.close();
    RecordingUi ui;
    TMainForm form;
    QCOMPARE(ui.log, QStringList{QStringLiteral("modal:PasswordForm")});
    QCOMPARE(connectionSettings().HostName, QStringLiteral("db"));
    QCOMPARE(connectionSettings().Port, 3306);
}

void TestShell::passwordOk() {
    RecordingUi ui;
    TPassword dialog;
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(&dialog, "Password"), QStringLiteral("abc"));
    QCOMPARE(child<QLineEdit>(&dialog, "Password")->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter),
             int('#'));
    QCOMPARE(child<QLineEdit>(&dialog, "Password")->displayText(), QStringLiteral("###"));
    QTest::keyClick(child<QLineEdit>(&dialog, "Password"), Qt::Key_Return);
    QCOMPARE(connectionSettings().Password, QStringLiteral("abc"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(ui.messages.isEmpty());
}

void TestShell::passwordCancelAndEsc_data() {
    QTest::addColumn<bool>("useEsc");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Esc") << true;
}

void TestShell::passwordCancelAndEsc() {
    QFETCH(bool, useEsc);
    connectionSettings().Password = QStringLiteral("old");
    RecordingUi ui;
    TPassword dialog;
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(&dialog, "Password"), QStringLiteral("typed"));
    if (useEsc)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        child<QPushButton>(&dialog, "CancelBtn")->click();
    QVERIFY(connectionSettings().Password.isEmpty());
    QCOMPARE(ui.texts(), QStringList{MsgNoPassword});
    QCOMPARE(ui.messages[0].kind, MsgKind::Plain);
    QVERIFY(!dialog.isVisible());
}

void TestShell::passwordCloseBoxSaysNothing() {
    RecordingUi ui;
    TPassword dialog;
    dialog.show();
    QTest::keyClicks(child<QLineEdit>(&dialog, "Password"), QStringLiteral("typed"));
    dialog.close();
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(connectionSettings().Password.isEmpty());
}

void TestShell::konec() {
    RecordingUi ui;
    TMainForm form;
    form.show();
    ui.clear();
    ui.answers = {Answer::No};
    child<QAction>(&form, "Konec")->trigger();
    QVERIFY(form.isVisible());
    ui.answers = {Answer::Yes};
    child<QAction>(&form, "Konec")->trigger();
    QVERIFY(!form.isVisible());
    QCOMPARE(ui.texts(), QStringList(2, QStringLiteral("Skutečně chcete ukončit program ?")));
    QCOMPARE(ui.messages[0].kind, MsgKind::Confirmation);
    // The close box closes without a question.
    form.show();
    ui.clear();
    form.close();
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(!form.isVisible());
}

void TestShell::menuTree() {
    RecordingUi ui;
    TMainForm form;
    auto* bar = child<QMenuBar>(&form, "MainMenu1");
    QStringList top;
    for (QAction* a : bar->actions())
        top << a->text();
    QCOMPARE(top, (QStringList{"&Databáze", "&Protlačování", "&About", "&Konec"}));
    QStringList db;
    for (QAction* a : child<QMenu>(&form, "Databaze")->actions())
        db << a->text();
    QCOMPARE(db, (QStringList{"&Výpis", "&Nastavení DB"}));
    QStringList pr;
    for (QAction* a : child<QMenu>(&form, "Protlacovani")->actions())
        pr << a->text();
    QCOMPARE(pr, (QStringList{"&Dopředné", "&Zpětné", "", "&Uložit výpočty…", "&Otevřít výpočty…"}));
    // The project items reach their commands: an empty history is said, a
    // cancelled open dialog does nothing.
    ui.clear();
    child<QAction>(&form, "UlozitVypocty")->trigger();
    QCOMPARE(ui.texts(), QStringList{QStringLiteral("Historie neobsahuje žádný výpočet.")});
    child<QAction>(&form, "OtevritVypocty")->trigger();
    QCOMPARE(ui.log.last().section(QLatin1Char('|'), 1), QStringLiteral("Výpočty Prolisu (*.prolis)"));
    QCOMPARE(ui.messages.size(), 1);
    ui.clear();
    // The hidden item is in no menu and cannot be triggered by an accelerator.
    QVERIFY(!child<QAction>(&form, "Editace")->isVisible());
    QVERIFY(!child<QAction>(&form, "Editace")->isEnabled());
    for (QMenu* m : form.findChildren<QMenu*>())
        QVERIFY(!m->actions().contains(child<QAction>(&form, "Editace")));
    QVERIFY(child<QAction>(&form, "Editace")->associatedObjects().isEmpty());
    // With MatEdit beside the program the item is the last of "Databáze".
    const QString companion = QCoreApplication::applicationDirPath() + QStringLiteral("/MatEdit");
    QVERIFY(QFile::copy(QStringLiteral("/bin/true"), companion));
    {
        TMainForm withCompanion;
        QStringList items;
        for (QAction* a : child<QMenu>(&withCompanion, "Databaze")->actions())
            items << a->text();
        QCOMPARE(items, (QStringList{"&Výpis", "&Nastavení DB", "&Editace"}));
        QVERIFY(child<QAction>(&withCompanion, "Editace")->isEnabled());
        // Triggering the item itself starts the companion.
        RecordingUi starts;
        child<QAction>(&withCompanion, "Editace")->trigger();
        QCOMPARE(starts.log.size(), 1);
        QVERIFY2(starts.log[0].startsWith(QStringLiteral("start:")) && starts.log[0].endsWith(QStringLiteral("MatEdit")),
                 qPrintable(starts.log[0]));
    }
    QFile::remove(companion);
}

void TestShell::linuxLines() {
    QCOMPARE(linuxOsLine(QStringLiteral("Debian GNU/Linux 12 (bookworm)"), QStringLiteral("6.1.0-18-amd64")),
             QStringLiteral("Debian GNU/Linux 12 (bookworm) Version: 6.1 Build: 0-18-amd64"));
    QCOMPARE(linuxOsLine(QStringLiteral("Linux"), QStringLiteral("5.10")),
             QStringLiteral("Linux Version: 5.10 Build: "));
    QCOMPARE(parseOsRelease(QStringLiteral(
                 "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n")),
             QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    QCOMPARE(parseOsRelease(QStringLiteral("NAME=Alpine\n")), QStringLiteral("Alpine"));
    const SystemFacts facts = readSystemFacts();
    QVERIFY(facts.memoryLine.startsWith(QStringLiteral("Memory ")));
    QVERIFY(facts.cpuLine.startsWith(QStringLiteral("CPU ")));
    QVERIFY(facts.osLine.contains(QStringLiteral(" Version: ")));
}

void TestShell::memoryLine_data() {
    QTest::addColumn<quint64>("bytes");
    QTest::addColumn<QString>("line");
    const QChar nb(0x00A0);
    QTest::newRow("above 4 GiB does not wrap")
        << quint64(16) * 1024 * 1024 * 1024 << QString("Memory 16_777_216 KB").replace(QLatin1Char('_'), nb);
    QTest::newRow("rounded half up") << quint64(1536) << "Memory 2 KB";
    QTest::newRow("below a thousand") << quint64(512 * 1024) << "Memory 512 KB";
    QTest::newRow("exact thousand") << quint64(1000 * 1024)
                                    << QString("Memory 1_000 KB").replace(QLatin1Char('_'), nb);
    QTest::newRow("zero shows no digits") << quint64(0) << "Memory  KB";
}

void TestShell::memoryLine() {
    QFETCH(quint64, bytes);
    QFETCH(QString, line);
    QCOMPARE(prolis::memoryLine(bytes), line);
}

void TestShell::cpuLines() {
    QCOMPARE(cpuLine({}, {}), QStringLiteral("CPU  "));
    const CpuFacts f =
        parseCpuInfo(QStringLiteral("processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) "
                                    "Xeon(R)\n\nprocessor\t: 1\nvendor_id\t: Other\n"));
    QCOMPARE(cpuLine(f.vendor, f.model), QStringLiteral("CPU GenuineIntel Intel(R) Xeon(R)"));
    const CpuFacts none = parseCpuInfo(QString());
    QCOMPARE(cpuLine(none.vendor, none.model), QStringLiteral("CPU  "));
}

void TestShell::aboutBoxShowsFactsAndOpensLink_data() {
    QTest::addColumn<QString>("link");
    QTest::newRow("plain") << "https://www.example.org";
    QTest::newRow("ending in slash") << "https://www.example.org/";
}

void TestShell::aboutBoxShowsFactsAndOpensLink() {
    QFETCH(QString, link);
    RecordingUi ui;
    SystemFacts facts{QStringLiteral("OS line"), QStringLiteral("Memory 1 KB"), QStringLiteral("CPU  ")};
    TAboutBox box(facts);
    QCOMPARE(child<QLabel>(&box, "OperSys")->text(), QStringLiteral("OS line"));
    QCOMPARE(child<QLabel>(&box, "Memory")->text(), QStringLiteral("Memory 1 KB"));
    QCOMPARE(child<QLabel>(&box, "CPU")->text(), QStringLiteral("CPU  "));
    QCOMPARE(child<QLabel>(&box, "Version")->text(), QStringLiteral("Version 4"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    child<QLabel>(&box, "Label2")->setText(link);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::keyClick(&box, Qt::Key_Escape); // not a key of the box
    QVERIFY(box.isVisible());
    QTest::mouseClick(child<QLabel>(&box, "Label2"), Qt::LeftButton);
    QCOMPARE(ui.log, QStringList{QStringLiteral("open:") + link + QLatin1Char('/')});
}

void TestShell::aboutBoxShowsLongLinesWhole() {
    RecordingUi ui;
    const SystemFacts facts{
        QStringLiteral("Debian GNU/Linux 12 (bookworm) Version: 6.18 Build: 44-fc-v1300-generic-rt"),
        QStringLiteral("Memory 25 165 824 KB"),
        QStringLiteral("CPU GenuineIntel Intel(R) Xeon(R) Platinum 8481C CPU @ 2.70GHz")};
    TAboutBox box(facts);
    const int plainWidth = TAboutBox(SystemFacts{}).width();
    for (const char* name : {"OperSys", "Memory", "CPU"}) {
        const QLabel* l = child<QLabel>(&box, name);
        QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()), name);
        QVERIFY2(l->geometry().right() < child<QFrame>(&box, "Panel1")->width(), name);
    }
    QVERIFY(box.width() > plainWidth);
    QVERIFY(child<QFrame>(&box, "Panel1")->geometry().right() < box.width());
    const QPushButton* ok = child<QPushButton>(&box, "OKButton");
    QVERIFY(qAbs(ok->geometry().center().x() - box.width() / 2) <= 2);
}

void TestShell::printPreviewFitsTheScreen() {
    // The preview is large, but within the screen's available area, its
    // frame included, whatever the screen's height.
    QtUiServices services;
    UiServices* before = setUi(&services);
    QRect shown, area;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = d->frameGeometry();
            area = d->screen()->availableGeometry();
            d->reject();
        }
    });
    ui().printPreview([](QPagedPaintDevice*) {});
    setUi(before);
    QVERIFY(!shown.isNull());
    // (Its tool bar gives it a least width: on a narrow screen it may be
    // wider, never taller.)
    QVERIFY2(shown.top() >= area.top() && shown.bottom() <= area.bottom() && shown.left() >= area.left(),
             qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                            .arg(shown.x())
                            .arg(shown.y())
                            .arg(shown.width())
                            .arg(shown.height())
                            .arg(area.width())
                            .arg(area.height())));
    QVERIFY(shown.height() >= std::min(area.height() - 40, 1000));
}

void TestShell::buttonGlyphs() {
    // Every button the windows give a picture has one of the set, in two
    // states (grey while disabled), and its caption stays whole beside it.
    RecordingUi ui;
    TProtlDopr forward;
    TProtlZpet backward;
    TIniData settings;
    TPassword password;
    TAboutBox about(SystemFacts{});
    int withGlyph = 0;
    for (QWidget* window :
         std::initializer_list<QWidget*>{&forward, &backward, &settings, &password, &about}) {
        for (const QPushButton* b : window->findChildren<QPushButton*>()) {
            const QString glyph = glyphNameFor(b->objectName());
            if (glyph.isEmpty()) continue;
            const QString where = window->objectName() + QLatin1Char('.') + b->objectName();
            QVERIFY2(!glyphIcon(glyph).isNull(), qPrintable(where));
            if (b->icon().isNull()) continue; // too narrow for both: the caption wins
            ++withGlyph;
            const QImage normal = b->icon().pixmap(14, QIcon::Normal).toImage();
            const QImage disabled = b->icon().pixmap(14, QIcon::Disabled).toImage();
            QVERIFY2(!normal.isNull() && normal != disabled, qPrintable(where));
            const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) + b->iconSize().width() + 2 * margin <=
                         b->width(),
                     qPrintable(where));
        }
    }
    QVERIFY(withGlyph >= 12);
    QVERIFY(!programIcon().isNull());
    QVERIFY(programIcon().availableSizes().contains(QSize(256, 256)));
}

void TestShell::czechQtTexts() {
    // Qt's own texts (the edit fields' context menu) are Czech; the system's
    // quoted button texts are not translated.
    QVERIFY(installCzechTranslations(*QCoreApplication::instance()));
    QCOMPARE(QCoreApplication::translate("QLineEdit", "&Copy"), QStringLiteral("&Kopírovat"));
}

void TestShell::startResults_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("0") << 0 << "The system is out of memory or resources.";
    QTest::newRow("2") << 2 << "The specified file was not found.";
    QTest::newRow("3") << 3 << "The specified path was not found.";
    QTest::newRow("11") << 11 << "The .EXE file is invalid\r(non-Win32 .EXE or error in .EXE image).";
    QTest::newRow("started") << 33 << "";
}

void TestShell::startResults() {
    QFETCH(int, result);
    QFETCH(QString, message);
    RecordingUi ui;
    ui.startResults = {result};
    startCompanion();
    QCOMPARE(ui.log.first(), QStringLiteral("start:MatEdit"));
    if (message.isEmpty()) {
        QVERIFY(ui.messages.isEmpty());
    } else {
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(ui.messages[0].kind, MsgKind::Error);
        QCOMPARE(ui.messages[0].caption, QStringLiteral("Error"));
    }
}

void TestShell::companionRetryOn31() {
    RecordingUi ui;
    ui.startResults = {31, 2};
    startCompanion();
    QCOMPARE(ui.log, QStringList(2, QStringLiteral("start:MatEdit")));
    QVERIFY(ui.messages.isEmpty());
}

void TestShell::launchResults() {
    QTemporaryDir dir;
    const QString folder = dir.path();
    QCOMPARE(launchDetached(QStringLiteral("MatEdit"), {folder}), 2);
    QCOMPARE(launchDetached(folder + QStringLiteral("/nowhere/MatEdit"), {}), 3);
    QFile plain(folder + QStringLiteral("/MatEdit"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("not a program");
    plain.close();
    QCOMPARE(launchDetached(QStringLiteral("MatEdit"), {folder}), 11);
    QVERIFY(QFile::copy(QStringLiteral("/bin/true"), folder + QStringLiteral("/sub/MatEdit")) ||
            (QDir(folder).mkdir(QStringLiteral("sub")) &&
             QFile::copy(QStringLiteral("/bin/true"), folder + QStringLiteral("/sub/MatEdit"))));
    // The first folder of the search order wins: the program's own before PATH.
    QCOMPARE(launchDetached(QStringLiteral("MatEdit"), {folder + QStringLiteral("/sub"), folder}), 33);
    // Never the current folder, nor a relative PATH entry that means it.
    QCOMPARE(programSearchFolders(QStringLiteral("/app"), QStringLiteral("/a:.::bin:/b")),
             (QStringList{"/app", "/a", "/b"}));
}

void TestShell::topLevelHandler() {
    RecordingUi ui;
    bool after = false;
    guarded([] { throw MathError(msg::DivByZero); });
    guarded([] { throw ConvertError(QStringLiteral("Abc!")); });
    after = true;
    QVERIFY(after);
    QCOMPARE(ui.texts(), (QStringList{"Floating point division by zero.", "Abc!"}));
    QCOMPARE(ui.messages[0].kind, MsgKind::Stop);
    QCOMPARE(ui.messages[0].caption, QStringLiteral("Prolis"));
    QCOMPARE(ui.messages[0].buttons, Buttons::Ok);
}

void TestShell::keyRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("ch");
    QTest::addColumn<int>("verdict");
    QTest::newRow("digit") << "" << QChar('7') << int(KeyVerdict::Accept);
    QTest::newRow("first comma") << "2" << QChar(',') << int(KeyVerdict::Accept);
    QTest::newRow("second comma") << "2,5" << QChar(',') << int(KeyVerdict::Discard);
    QTest::newRow("point") << "2" << QChar('.') << int(KeyVerdict::Discard);
    QTest::newRow("minus") << "" << QChar('-') << int(KeyVerdict::Discard);
    QTest::newRow("letter") << "" << QChar('e') << int(KeyVerdict::Discard);
    QTest::newRow("ctrl+v") << "" << QChar(22) << int(KeyVerdict::Discard);
    QTest::newRow("backspace") << "2,5" << QChar(8) << int(KeyVerdict::Accept);
    QTest::newRow("enter") << "2,5" << QChar(13) << int(KeyVerdict::Enter);
}

void TestShell::keyRule() {
    QFETCH(QString, text);
    QFETCH(QChar, ch);
    QFETCH(int, verdict);
    QCOMPARE(int(filterNumericKey(ch, text)), verdict);
}

void TestShell::keyFilterInField() {
    RecordingUi ui;
    QWidget w;
    auto* edit = new QLineEdit(&w);
    auto* next = new QLineEdit(&w);
    NumericKeyFilter filter;
    filter.attach(edit, [next] { next->setFocus(); });
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("1,2,3"));
    QCOMPARE(edit->text(), QStringLiteral("1,23"));
    QCOMPARE(ui.beeps, 1);
    QTest::keyClicks(edit, QStringLiteral("-.a"));
    QCOMPARE(edit->text(), QStringLiteral("1,23"));
    QCOMPARE(ui.beeps, 4);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("1,2"));
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(next->hasFocus());
    QCOMPARE(edit->text(), QStringLiteral("1,2"));
}

void TestShell::missingRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("missing");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("0") << "0" << true;
    QTest::newRow("0,0") << "0,0" << false;
    QTest::newRow("00") << "00" << false;
    QTest::newRow("5") << "5" << false;
}

void TestShell::missingRule() {
    QFETCH(QString, text);
    QFETCH(bool, missing);
    QCOMPARE(isMissing(text), missing);
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
