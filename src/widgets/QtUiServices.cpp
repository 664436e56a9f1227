#include "QtUiServices.h"

#include "DesktopApps.h"
#include "Pictures.h"

#include "ProgramLauncher.h"

#include "core/FileIo.h"
#include "print/ReportPainter.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>

namespace prolis {

Answer QtUiServices::message(MsgKind kind, const QString& caption, const QString& text, Buttons buttons) {
    QMessageBox box(QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                      : QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    switch (kind) {
    case MsgKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgKind::Error:
    case MsgKind::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    QPushButton* yes = nullptr;
    if (buttons == Buttons::YesNo) {
        yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
    } else {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    box.exec();
    if (buttons == Buttons::YesNo) return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

void QtUiServices::beep() {
    QApplication::beep();
}

QString QtUiServices::saveFileName(const QString& folder, const QString& proposed, const QString& filter) {
    return QFileDialog::getSaveFileName(QApplication::activeModalWidget(), QString(),
                                        QDir(folder).filePath(proposed), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtUiServices::openFileName(const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), folder, filter);
}

namespace {
// Writes the pages that `paint` draws as a PDF file chosen by the user.
void savePdf(QWidget* parent, const std::function<void(QPagedPaintDevice*)>& paint) {
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Uložit jako PDF"),
                                                QDir::currentPath() + QStringLiteral("/Data"),
                                                QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    QString reason;
    if (!writeWholeFile(path, pdfDocument(paint), &reason))
        errorBox(QStringLiteral("PDF nebyl uložen.\r") + QFileInfo(path).absoluteFilePath() +
                 QStringLiteral(": ") + reason);
}
} // namespace

void QtUiServices::printPreview(const std::function<void(QPagedPaintDevice*)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    QPrintPreviewDialog dialog(&printer, QApplication::activeModalWidget());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter* p) { paint(p); });
    // Besides printing (where "Print to File (PDF)" is one of the printers),
    // the preview saves the pages as a PDF directly.
    if (auto* bar = dialog.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* pdf = bar->addAction(QStringLiteral("Uložit PDF"));
        pdf->setToolTip(QStringLiteral("Uložit jako PDF"));
        QObject::connect(pdf, &QAction::triggered, &dialog,
                         [&] { guarded([&] { savePdf(&dialog, paint); }); });
    }
    // Large enough to read the page and to show the whole tool bar.
    // (within the screen's available area, frame included).
    fitIntoScreen(&dialog, QSize(1000, 1100));
    dialog.exec();
}

bool QtUiServices::hasApplicationFor(const QString& mimeType) {
    // What the desktop would open the type with: its default application.
    m_lastType = mimeType;
    return !defaultApplicationFor(mimeType).isEmpty();
}

QString QtUiServices::openDocument(const QString& target) {
    // A document written for the type just asked about goes to that type's
    // application; anything else (a web address) to the desktop's handler.
    const QString type = QFileInfo(target).isFile() ? m_lastType : QString();
    m_lastType.clear();
    return openWithDefaultApplication(target, type);
}

int QtUiServices::startProgram(const QString& commandLine) {
    return launchDetached(commandLine, programSearchFolders(QCoreApplication::applicationDirPath(),
                                                            qEnvironmentVariable("PATH")));
}

int QtUiServices::execModal(QObject* dialog) {
    if (auto* d = qobject_cast<QDialog*>(dialog)) return d->exec();
    return 0;
}

} // namespace prolis
