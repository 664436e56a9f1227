#include "WindowCommands.h"

#include "core/UiServices.h"

namespace prolis {

namespace {
void notBuiltYet() { information(QStringLiteral("Tato část programu zatím není hotová.")); }
} // namespace

void openMaterialListing(QWidget*) { notBuiltYet(); }
void openForwardWindow(QWidget*) { notBuiltYet(); }
void openBackwardWindow(QWidget*) { notBuiltYet(); }

} // namespace prolis
