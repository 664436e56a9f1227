#pragma once
class QWidget;

namespace prolis {
// The menu commands that open the database and calculation windows: each
// window is created for one modal showing and destroyed when it ends.
void openMaterialListing(QWidget* owner);
void openForwardWindow(QWidget* owner);
void openBackwardWindow(QWidget* owner);
} // namespace prolis
