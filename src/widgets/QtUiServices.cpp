#include "QtUiServices.h"

#include "ProgramLauncher.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

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

void QtUiServices::printPreview(const std::function<void(QPagedPaintDevice*)>& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    QPrintPreviewDialog dialog(&printer, QApplication::activeModalWidget());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter* p) { paint(p); });
    dialog.exec();
}

bool QtUiServices::openDocument(const QString& target) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(target, QDir::currentPath()));
}

int QtUiServices::startProgram(const QString& commandLine) {
    return launchDetached(commandLine,
                          programSearchFolders(QCoreApplication::applicationDirPath(), QDir::currentPath(),
                                               qEnvironmentVariable("PATH")));
}

int QtUiServices::execModal(QObject* dialog) {
    if (auto* d = qobject_cast<QDialog*>(dialog)) return d->exec();
    return 0;
}

} // namespace prolis
