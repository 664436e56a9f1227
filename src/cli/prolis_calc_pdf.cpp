// prolis-calc-pdf: prolis-calc with the report painter, which needs Qt Gui;
// prolis-calc hands it the command lines that ask for a PDF. Without a
// display it paints on the offscreen platform.
#include "ProgramMain.h"
#include "print/ReportPainter.h"

#include <QGuiApplication>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return prolis::cli::programMain(argc, argv,
                                    {[](int& c, char** v) -> std::unique_ptr<QCoreApplication> {
                                         return std::make_unique<QGuiApplication>(c, v);
                                     },
                                     prolis::reportPdf});
}
