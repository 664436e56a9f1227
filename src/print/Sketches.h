#pragma once
// The sketches of the reports, drawn as vectors into a box given in
// millimetres, so they stay crisp at any zoom and in a PDF.
#include "output/ReportPages.h"

class QPainter;

namespace prolis {

// Draws the sketch into its box; `dotsPerMm` is the device's scale.
void drawSketch(QPainter& painter, const out::Picture& picture, double dotsPerMm);

} // namespace prolis
