#include "ReportPainter.h"

#include "Sketches.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace prolis {

QFont reportFont(out::FontRole role) {
    using enum out::FontRole;
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    double size = 10;
    switch (role) {
    case Text:
    case Sub10:
    case GreekSub:
        size = 10;
        break;
    case Title:
        size = 18;
        break;
    case Sub8:
    case Superscript:
        size = 8;
        break;
    case Sub9:
        size = 9;
        break;
    case Greek:
        size = 13;
        break;
    }
    f.setPointSizeF(size);
    return f;
}

void paintPage(QPainter& painter, QPaintDevice* device, const out::Page& page) {
    const double dpmmX = device->logicalDpiX() / 25.4;
    const double dpmmY = device->logicalDpiY() / 25.4;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    double lastRight = 0; // the right edge of the previous text
    const double clearance = 0.5 * dpmmX; // an "=" keeps this clear of its symbol and its value
    bool afterEquals = false;
    for (const out::TextElement& e : page.texts) {
        QFont font(reportFont(e.font), device);
        if (e.fitWidth > 0) {
            // Smaller, down to 6 pt, until the text keeps within its width.
            while (font.pointSizeF() > 6.0 &&
                   QFontMetricsF(font, device).horizontalAdvance(e.text) > e.fitWidth * dpmmX)
                font.setPointSizeF(font.pointSizeF() - 0.5);
        }
        painter.setFont(font);
        const QFontMetricsF metrics(font, device);
        const double width = metrics.horizontalAdvance(e.text);
        double left = e.x * dpmmX;
        if (e.anchor == out::Anchor::After)
            left = lastRight + e.x * dpmmX;
        else if (e.anchor == out::Anchor::RightEnd)
            left = std::max(left - width, lastRight + clearance);
        else if (afterEquals)
            left = std::max(left, lastRight + clearance); // a long symbol pushed its "=" this far
        afterEquals = e.anchor == out::Anchor::RightEnd;
        // The element's top is the top of its text box.
        painter.drawText(QPointF(left, e.top * dpmmY + metrics.ascent()), e.text);
        lastRight = left + width;
    }
    if (!page.rules.isEmpty()) {
        const QFont font(reportFont(out::FontRole::Text), device);
        const QFontMetricsF metrics(font, device);
        QPen pen(Qt::black, std::max(1.0, metrics.lineWidth()));
        painter.setPen(pen);
        for (const out::Rule& r : page.rules) {
            const double y = r.top * dpmmY + metrics.ascent() - metrics.strikeOutPos();
            painter.drawLine(QPointF(r.left * dpmmX, y), QPointF((r.left + r.width) * dpmmX, y));
        }
    }
    if (page.picture) drawSketch(painter, *page.picture, dpmmX);
    painter.restore();
}

void paintReport(QPagedPaintDevice* device, const QList<out::Page>& pages) {
    QPainter painter(device);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) device->newPage();
        paintPage(painter, device, pages[i]);
    }
}

QByteArray pdfDocument(const std::function<void(QPagedPaintDevice*)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Prolis"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setResolution(1200);
        paint(&writer);
    }
    return buffer.data();
}

QByteArray reportPdf(const QList<out::Page>& pages) {
    return pdfDocument([&pages](QPagedPaintDevice* device) { paintReport(device, pages); });
}

} // namespace prolis
