#include "WindowCommands.h"

#include "core/UiServices.h"
#include "forward/U_ProtlDopr.h"
#include "material/U_VypisMat.h"

namespace prolis {

namespace {
void notBuiltYet() { information(QStringLiteral("Tato část programu zatím není hotová.")); }
} // namespace

void openMaterialListing(QWidget* owner) { showMaterialListing(owner); }
void openForwardWindow(QWidget* owner)
{
    TProtlDopr window(owner);
    ui().execModal(&window);
}
void openBackwardWindow(QWidget*) { notBuiltYet(); }

} // namespace prolis
