#pragma once
// Painting report pages: on the print preview's printer, a PDF writer or an
// image, always in millimetres on an A4 portrait page whose origin is the
// paper's corner.
#include "output/ReportPages.h"

#include <QByteArray>
#include <QFont>
#include <functional>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace prolis {

// The font of a role: "Arial" asked for by name (Liberation Sans here,
// metric-compatible), the Greek letters in the same family.
QFont reportFont(out::FontRole role);

// Paints the pages, one after the other (a new page between them).
void paintReport(QPagedPaintDevice* device, const QList<out::Page>& pages);
// Paints one page on any paint device whose logical DPI gives its scale.
void paintPage(QPainter& painter, QPaintDevice* device, const out::Page& page);

// What `paint` draws as a PDF document (A4 portrait, no margins, text kept
// as text).
QByteArray pdfDocument(const std::function<void(QPagedPaintDevice*)>& paint);
// The pages as a PDF document.
QByteArray reportPdf(const QList<out::Page>& pages);

} // namespace prolis
