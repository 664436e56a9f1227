// prolis-calc: the calculations from the command line, on Qt Core alone.
#include "ProgramMain.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    return prolis::cli::programMain(
        argc, argv, {[](int& c, char** v) { return std::make_unique<QCoreApplication>(c, v); }, {}});
}
