#include "WindowCommands.h"

#include "gui/U_ProtlDopr.h"
#include "gui/U_ProtlZpet.h"
#include "gui/U_VypisMat.h"
#include "widgets/UiServices.h"

namespace prolis {

void openMaterialListing(QWidget* owner) {
    showMaterialListing(owner);
}
void openForwardWindow(QWidget* owner) {
    TProtlDopr window(owner);
    ui().execModal(&window);
}
void openBackwardWindow(QWidget* owner) {
    TProtlZpet window(owner);
    ui().execModal(&window);
}

} // namespace prolis
