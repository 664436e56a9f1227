#include "Glyphs.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QSvgRenderer>

// The resources of a static library are registered by hand.
static void initGlyphResources() {
    Q_INIT_RESOURCE(glyphs);
}

namespace prolis {

namespace {

QPixmap render(QSvgRenderer& svg, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(0, 0, size, size));
    p.end();
    return QPixmap::fromImage(image);
}

// The disabled state: the glyph in light grey, as a disabled caption is.
QPixmap greyed(const QPixmap& pm) {
    QImage image = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 150 + qGray(line[x]) * 90 / 255;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 4);
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

QString glyphNameFor(const QString& buttonName) {
    static const QHash<QString, QString> glyphs{
        {QStringLiteral("Vypocet"), QStringLiteral("calculate")},
        {QStringLiteral("VyberMaterial"), QStringLiteral("material")},
        {QStringLiteral("Vyber"), QStringLiteral("material")},
        {QStringLiteral("UlozitP"), QStringLiteral("save")},
        {QStringLiteral("Ulozit"), QStringLiteral("save")},
        {QStringLiteral("TiskP"), QStringLiteral("print")},
        {QStringLiteral("GrafBB"), QStringLiteral("chart")},
        {QStringLiteral("Ukoncit"), QStringLiteral("exit")},
        {QStringLiteral("Otevri"), QStringLiteral("open")},
        {QStringLiteral("Zavri"), QStringLiteral("close")},
        {QStringLiteral("OKButton"), QStringLiteral("ok")},
        {QStringLiteral("OKBtn"), QStringLiteral("ok")},
        {QStringLiteral("CancelBtn"), QStringLiteral("cancel")},
    };
    return glyphs.value(buttonName);
}

QIcon glyphIcon(const QString& glyph) {
    static QHash<QString, QIcon> cache;
    if (const auto it = cache.constFind(glyph); it != cache.cend()) return *it;
    initGlyphResources();
    QSvgRenderer svg(QStringLiteral(":/glyphs/%1.svg").arg(glyph));
    QIcon icon;
    if (svg.isValid()) {
        for (int size : {16, 32}) {
            const QPixmap pm = render(svg, size);
            icon.addPixmap(pm, QIcon::Normal);
            icon.addPixmap(greyed(pm), QIcon::Disabled);
        }
    }
    cache.insert(glyph, icon);
    return icon;
}

void setButtonGlyphs(QWidget* window) {
    constexpr int Size = 14, Spacing = 4;
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        const QString glyph = glyphNameFor(b->objectName());
        if (glyph.isEmpty()) continue;
        // The caption comes first: a button too narrow for both keeps its
        // caption whole and goes without the picture.
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        const int needed = b->fontMetrics().horizontalAdvance(b->text()) + Size + Spacing + 2 * margin;
        if (needed > b->width()) continue;
        b->setIcon(glyphIcon(glyph));
        b->setIconSize(QSize(Size, Size));
    }
}

QIcon programIcon() {
    initGlyphResources();
    QSvgRenderer svg(QStringLiteral(":/glyphs/prolis.svg"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(render(svg, size));
    return icon;
}

} // namespace prolis
