#pragma once
// The program entry of prolis-calc and of its PDF companion prolis-calc-pdf:
// the same commands, the same options and output. prolis-calc runs on Qt
// Core (and Sql) alone and hands a command line that asks for a PDF to the
// companion, which links the painter (Qt Gui).
#include <QByteArray>
#include <QList>
#include <functional>
#include <memory>

class QCoreApplication;

namespace prolis::out {
struct Page;
}

namespace prolis::cli {

struct ProgramParts {
    // Makes the application object.
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)> application;
    // Report pages as a PDF document; none in prolis-calc itself.
    std::function<QByteArray(const QList<out::Page>&)> pdf;
};

// The name of the companion that writes PDFs, beside prolis-calc.
inline constexpr const char* PdfCompanion = "prolis-calc-pdf";

int programMain(int argc, char** argv, const ProgramParts& parts);

} // namespace prolis::cli
