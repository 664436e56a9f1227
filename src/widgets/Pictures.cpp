#include "Pictures.h"
#include <QApplication>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

namespace prolis {

namespace {
void drawExtrusion(QPainter& p, const QRectF& r) {
    // Container walls, a billet under the punch, the reduction cone and the stem.
    const double h = r.height();
    const double cx = r.left();
    const double mid = r.center().y();
    QLinearGradient steel(0, r.top(), 0, r.bottom());
    steel.setColorAt(0, QColor(0xd8, 0xdd, 0xe3));
    steel.setColorAt(0.5, QColor(0x9a, 0xa4, 0xae));
    steel.setColorAt(1, QColor(0x5f, 0x69, 0x73));
    p.setPen(QPen(QColor(0x2b, 0x33, 0x3b), 1.2));
    // punch
    p.setBrush(QColor(0x44, 0x55, 0x66));
    p.drawRect(QRectF(cx, mid - h * 0.30, r.width() * 0.16, h * 0.60));
    // billet
    p.setBrush(steel);
    QPainterPath part;
    const double x1 = cx + r.width() * 0.16, x2 = cx + r.width() * 0.48, x3 = cx + r.width() * 0.60;
    part.moveTo(x1, mid - h * 0.30);
    part.lineTo(x2, mid - h * 0.30);
    part.lineTo(x3, mid - h * 0.14);
    part.lineTo(r.right(), mid - h * 0.14);
    part.lineTo(r.right(), mid + h * 0.14);
    part.lineTo(x3, mid + h * 0.14);
    part.lineTo(x2, mid + h * 0.30);
    part.lineTo(x1, mid + h * 0.30);
    part.closeSubpath();
    p.drawPath(part);
    // die
    p.setBrush(QColor(0x22, 0x2a, 0x33));
    p.drawPolygon(QPolygonF({QPointF(x1, r.top()), QPointF(x2, r.top()), QPointF(x2, mid - h * 0.30 - 2),
                             QPointF(x1, mid - h * 0.30 - 2)}));
    p.drawPolygon(QPolygonF({QPointF(x2, r.top()), QPointF(x3 + r.width() * 0.1, r.top()),
                             QPointF(x3 + r.width() * 0.1, mid - h * 0.14 - 2),
                             QPointF(x3, mid - h * 0.14 - 2), QPointF(x2, mid - h * 0.30 - 2)}));
    p.drawPolygon(QPolygonF({QPointF(x1, r.bottom()), QPointF(x2, r.bottom()),
                             QPointF(x2, mid + h * 0.30 + 2), QPointF(x1, mid + h * 0.30 + 2)}));
    p.drawPolygon(QPolygonF({QPointF(x2, r.bottom()), QPointF(x3 + r.width() * 0.1, r.bottom()),
                             QPointF(x3 + r.width() * 0.1, mid + h * 0.14 + 2),
                             QPointF(x3, mid + h * 0.14 + 2), QPointF(x2, mid + h * 0.30 + 2)}));
}
} // namespace

QPixmap bannerPixmap() {
    QPixmap pm(570, 90);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 570, 0);
    bg.setColorAt(0, QColor(0x0d, 0x2b, 0x4a));
    bg.setColorAt(1, QColor(0x3a, 0x6e, 0x9c));
    p.fillRect(pm.rect(), bg);
    drawExtrusion(p, QRectF(14, 12, 230, 66));
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(40);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(270, 8, 290, 50), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Prolis"));
    f.setPixelSize(14);
    f.setBold(false);
    p.setFont(f);
    p.setPen(QColor(0xdd, 0xe8, 0xf2));
    p.drawText(QRectF(272, 54, 290, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Protlačování ocelí za studena"));
    return pm;
}

QPixmap logoPixmap(int width, int height) {
    QPixmap pm(width, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x0d, 0x2b, 0x4a));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, width, height), 8, 8);
    drawExtrusion(p, QRectF(8, 8, height * 1.2, height - 16));
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setBold(true);
    const QRectF textBox(height * 1.3, 0, width - height * 1.3 - 6, height);
    // The largest size at which the name fits beside the picture.
    for (int px = height / 3; px > 6; --px) {
        f.setPixelSize(px);
        if (QFontMetricsF(f).horizontalAdvance(QStringLiteral("VERANTA")) <= textBox.width()) break;
    }
    p.setFont(f);
    p.drawText(textBox, Qt::AlignCenter, QStringLiteral("VERANTA"));
    return pm;
}

void centerOnScreen(QWidget* w) {
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    w->move(area.center() - QPoint(w->frameGeometry().width() / 2, w->frameGeometry().height() / 2));
}

void fitIntoScreen(QWidget* w, const QSize& wanted) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (const QWidget* opener = QApplication::activeWindow()) screen = opener->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // The window manager's frame is known only once a window is shown: take
    // that of the window in front (the opener), or allow for a title bar.
    QSize frame(0, 32);
    if (const QWidget* opener = QApplication::activeWindow(); opener && opener->isVisible())
        frame = opener->frameGeometry().size() - opener->geometry().size();
    const QSize size(std::min(wanted.width(), area.width() - frame.width()),
                     std::min(wanted.height(), area.height() - frame.height()));
    w->resize(size);
    const QSize outer = size + frame;
    w->move(area.left() + (area.width() - outer.width()) / 2,
            area.top() + (area.height() - outer.height()) / 2);
}

} // namespace prolis
