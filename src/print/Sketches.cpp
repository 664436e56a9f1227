#include "Sketches.h"

#include "ReportPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace prolis {

namespace {

const QColor Metal(215, 215, 215); // the tools in section
const QColor Work(245, 245, 245);  // the billet and the part

// A sketch box: coordinates in mm from the box's top-left corner, right and down.
class Canvas {
public:
    Canvas(QPainter& p, const out::Picture& box, double dotsPerMm) : m_p(p), m_box(box), m_scale(dotsPerMm) {}

    QPointF at(double u, double v) const { return {(m_box.left + u) * m_scale, (m_box.top + v) * m_scale}; }
    double dots(double mm) const { return mm * m_scale; }

    void pen(double widthMm, Qt::PenStyle style = Qt::SolidLine) {
        QPen p(Qt::black, dots(widthMm), style, Qt::FlatCap, Qt::MiterJoin);
        m_p.setPen(p);
    }
    void line(double u1, double v1, double u2, double v2) { m_p.drawLine(at(u1, v1), at(u2, v2)); }

    QPolygonF polygon(std::initializer_list<QPointF> mm) const {
        QPolygonF poly;
        for (const QPointF& q : mm)
            poly << at(q.x(), q.y());
        return poly;
    }
    // A section of a tool: filled, hatched at 45 degrees, outlined.
    void section(const QPolygonF& poly, const QColor& fill, bool hatched) {
        m_p.setBrush(fill);
        pen(0.35);
        m_p.drawPolygon(poly);
        if (!hatched) return;
        m_p.save();
        QPainterPath clip;
        clip.addPolygon(poly);
        m_p.setClipPath(clip);
        pen(0.12);
        const QRectF r = poly.boundingRect();
        const double step = dots(1.3);
        for (double d = -r.height(); d < r.width(); d += step)
            m_p.drawLine(QPointF(r.left() + d, r.bottom()), QPointF(r.left() + d + r.height(), r.top()));
        m_p.restore();
    }
    void arrowHead(double u, double v, double towardsU, double towardsV) {
        // A filled head at (u, v) pointing away from (towardsU, towardsV).
        const double angle = std::atan2(v - towardsV, u - towardsU);
        const double len = 1.4, half = 0.45;
        QPolygonF head;
        head << at(u, v)
             << at(u - len * std::cos(angle) + half * std::sin(angle),
                   v - len * std::sin(angle) - half * std::cos(angle))
             << at(u - len * std::cos(angle) - half * std::sin(angle),
                   v - len * std::sin(angle) + half * std::cos(angle));
        m_p.setBrush(Qt::black);
        pen(0.1);
        m_p.drawPolygon(head);
    }
    void arrow(double u1, double v1, double u2, double v2, double width = 0.35) {
        pen(width);
        line(u1, v1, u2, v2);
        arrowHead(u2, v2, u1, v1);
    }
    // A dimension line with both heads.
    void dimension(double u1, double v1, double u2, double v2) {
        pen(0.15);
        line(u1, v1, u2, v2);
        arrowHead(u1, v1, u2, v2);
        arrowHead(u2, v2, u1, v1);
    }
    // A text centred vertically on v; `clear` puts it on white (over a section).
    void label(double u, double v, const QString& text, Qt::Alignment align = Qt::AlignCenter,
               double pt = 7.5, bool clear = false) {
        QFont f = reportFont(out::FontRole::Text);
        f.setPointSizeF(pt);
        m_p.setFont(f);
        m_p.setPen(Qt::black);
        const QRectF r(at(u, v) - QPointF(dots(15), dots(3)), QSizeF(dots(30), dots(6)));
        QRectF box = r;
        if (align & Qt::AlignLeft) box.moveLeft(at(u, v).x());
        if (align & Qt::AlignRight) box.moveRight(at(u, v).x());
        const int flags = static_cast<int>((align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
        if (clear) {
            const QRectF used = m_p.boundingRect(box, flags, text).adjusted(-dots(0.3), 0, dots(0.3), 0);
            m_p.fillRect(used, Qt::white);
        }
        m_p.drawText(box, flags, text);
    }
    // A name with an index written lower and smaller (D0, L1, h0).
    void indexed(double u, double v, const QString& name, const QString& index) {
        label(u, v, name, Qt::AlignLeft);
        QFont f = reportFont(out::FontRole::Text);
        f.setPointSizeF(7.5);
        const double w = QFontMetricsF(f, m_p.device()).horizontalAdvance(name) / m_scale;
        label(u + w, v + 1.0, index, Qt::AlignLeft, 5.5);
    }
    // A zone number in a circle.
    void zone(double u, double v, const QString& n) {
        pen(0.15);
        m_p.setBrush(Qt::white);
        m_p.drawEllipse(at(u, v), dots(1.7), dots(1.7));
        label(u, v, n, Qt::AlignCenter, 6.5);
    }
    void centreLine(double u, double v1, double v2) {
        pen(0.12, Qt::DashDotLine);
        line(u, v1, u, v2);
    }
    QPainter& painter() { return m_p; }

private:
    QPainter& m_p;
    const out::Picture& m_box;
    double m_scale;
};

// Forward extrusion in section: the punch with F and p0, zone 1 the
// container (D0 = D1, L1), zone 2 the reduction cone from D2 with 2α, zone 3
// the die land (D3, L3).
void forwardSketch(Canvas& c) {
    constexpr double cx = 26;
    constexpr double bore = 11, land = 4.5; // half of D1 = D2, half of D3
    constexpr double top = 8, coneStart = 30, coneEnd = 36, landEnd = 42, dieBottom = 46, outer = 19;

    // The die, left and right halves.
    for (int side : {-1, 1}) {
        const auto u = [&](double off) { return cx + side * off; };
        c.section(c.polygon({{u(bore), top},
                             {u(bore), coneStart},
                             {u(land), coneEnd},
                             {u(land), landEnd},
                             {u(land + 1.5), landEnd + 1.5},
                             {u(land + 1.5), dieBottom},
                             {u(outer), dieBottom},
                             {u(outer), top}}),
                  Metal, true);
    }
    // The billet and the extruded part.
    c.section(c.polygon({{cx - bore, 15},
                         {cx + bore, 15},
                         {cx + bore, coneStart},
                         {cx + land, coneEnd},
                         {cx + land, 53},
                         {cx - land, 53},
                         {cx - land, coneEnd},
                         {cx - bore, coneStart}}),
              Work, false);
    // The punch and its force.
    c.section(
        c.polygon(
            {{cx - bore + 0.3, 4.5}, {cx + bore - 0.3, 4.5}, {cx + bore - 0.3, 15}, {cx - bore + 0.3, 15}}),
        Metal, true);
    c.arrow(cx, 0.2, cx, 4.5, 0.45);
    c.label(cx + 1.2, 1.6, QStringLiteral("F"), Qt::AlignLeft, 8);
    for (double off : {-6.0, 6.0})
        c.arrow(cx + off, 15.2, cx + off, 18.2, 0.2);
    c.indexed(cx + 7, 17, QStringLiteral("p"), QStringLiteral("0"));
    c.centreLine(cx, 3, 55);

    // Dimensions: diameters across, lengths at the right.
    c.dimension(cx - bore, 21, cx + bore, 21);
    c.indexed(cx - 9.5, 19.6, QStringLiteral("D"), QStringLiteral("0"));
    c.label(cx - 6.6, 19.6, QStringLiteral("="), Qt::AlignLeft);
    c.indexed(cx - 4.6, 19.6, QStringLiteral("D"), QStringLiteral("1"));
    c.dimension(cx - bore, coneStart - 1.2, cx + bore, coneStart - 1.2);
    c.indexed(cx - 9.5, coneStart - 3.0, QStringLiteral("D"), QStringLiteral("2"));
    c.dimension(cx - land, 50.5, cx + land, 50.5);
    c.indexed(cx + land + 1, 50.2, QStringLiteral("D"), QStringLiteral("3"));
    const double right = cx + outer + 3;
    c.pen(0.12);
    c.line(cx + outer, top, right + 1.5, top);
    c.line(cx + outer, coneStart, right + 1.5, coneStart);
    c.line(cx + land + 1.5, coneEnd, right + 1.5, coneEnd);
    c.line(cx + land + 1.5, landEnd, right + 1.5, landEnd);
    c.dimension(right, top, right, coneStart);
    c.indexed(right + 0.8, (top + coneStart) / 2, QStringLiteral("L"), QStringLiteral("1"));
    c.dimension(right, coneEnd, right, landEnd);
    c.indexed(right + 0.8, (coneEnd + landEnd) / 2, QStringLiteral("L"), QStringLiteral("3"));
    // The cone's included angle, between the walls produced to their apex.
    const double apex = coneEnd + land * (coneEnd - coneStart) / (bore - land);
    c.pen(0.12, Qt::DashLine);
    c.line(cx - land, coneEnd, cx, apex);
    c.line(cx + land, coneEnd, cx, apex);
    const double angle = qRadiansToDegrees(std::atan2(bore - land, coneEnd - coneStart));
    const double radius = 0.7 * (apex - coneStart);
    QRectF arc(c.at(cx - radius, apex - radius), c.at(cx + radius, apex + radius));
    c.pen(0.15);
    c.painter().setBrush(Qt::NoBrush);
    c.painter().drawArc(arc, qRound((90 - angle) * 16), qRound(2 * angle * 16));
    c.label(cx, apex - radius - 1.4, QStringLiteral("2α"), Qt::AlignCenter, 7);
    c.zone(cx - 6, 25, QStringLiteral("1"));
    c.zone(cx + 5.8, coneStart + 2.4, QStringLiteral("2"));
    c.zone(cx + 2.3, landEnd - 0.8, QStringLiteral("3"));
}

// Backward extrusion in section: the punch d under F in the container D,
// the cup of height H with its bottom b, the billet height h0, zones 1 to 3.
void backwardSketch(Canvas& c) {
    constexpr double cx = 22;
    constexpr double bore = 14, punch = 9;        // half of D, half of d
    constexpr double top = 6, bottom = 44, b = 6; // container top, bottom of the cup
    constexpr double cupTop = 11, billetTop = 22; // H measured from the bottom, h0 likewise
    for (int side : {-1, 1}) {
        const auto u = [&](double off) { return cx + side * off; };
        c.section(c.polygon({{u(bore), top}, {u(bore), bottom}, {u(bore + 6), bottom}, {u(bore + 6), top}}),
                  Metal, true);
    }
    c.section(c.polygon({{cx - bore - 6, bottom},
                         {cx + bore + 6, bottom},
                         {cx + bore + 6, bottom + 4},
                         {cx - bore - 6, bottom + 4}}),
              Metal, true);
    // The cup: the bottom and the walls around the punch.
    c.section(c.polygon({{cx - bore, cupTop},
                         {cx - punch, cupTop},
                         {cx - punch, bottom - b},
                         {cx + punch, bottom - b},
                         {cx + punch, cupTop},
                         {cx + bore, cupTop},
                         {cx + bore, bottom},
                         {cx - bore, bottom}}),
              Work, false);
    c.section(
        c.polygon({{cx - punch, 4}, {cx + punch, 4}, {cx + punch, bottom - b}, {cx - punch, bottom - b}}),
        Metal, true);
    c.arrow(cx, 0.2, cx, 4, 0.45);
    c.label(cx + 1.2, 1.4, QStringLiteral("F"), Qt::AlignLeft, 8);
    c.centreLine(cx, 2.5, bottom + 5);
    // The billet before pressing.
    c.pen(0.15, Qt::DashLine);
    c.line(cx - bore, billetTop, cx - punch, billetTop);
    c.line(cx + punch, billetTop, cx + bore, billetTop);

    // Dimensions.
    c.dimension(cx - punch, 7.5, cx + punch, 7.5);
    c.label(cx - 3, 6.2, QStringLiteral("d"), Qt::AlignLeft, 7.5, true);
    c.dimension(cx - bore, bottom + 6.5, cx + bore, bottom + 6.5);
    c.pen(0.12);
    c.line(cx - bore, bottom + 4, cx - bore, bottom + 7.3);
    c.line(cx + bore, bottom + 4, cx + bore, bottom + 7.3);
    c.label(cx + 2, bottom + 5.3, QStringLiteral("D"), Qt::AlignLeft, 7.5);
    const double right = cx + bore + 6;
    c.pen(0.12);
    c.line(cx + bore, cupTop, right + 10, cupTop);
    c.line(cx + bore, billetTop, right + 6, billetTop);
    c.line(right, bottom, right + 10, bottom);
    c.dimension(right + 4, cupTop, right + 4, bottom);
    c.label(right + 4.6, (cupTop + billetTop) / 2, QStringLiteral("H"), Qt::AlignLeft, 7.5);
    c.dimension(right + 9, billetTop, right + 9, bottom);
    c.indexed(right + 9.6, (billetTop + bottom) / 2 + 4, QStringLiteral("h"), QStringLiteral("0"));
    c.dimension(cx + 2.5, bottom - b, cx + 2.5, bottom);
    c.label(cx + 3.3, bottom - b / 2, QStringLiteral("b"), Qt::AlignLeft, 7.5);
    c.zone(cx - 4.5, bottom - 3, QStringLiteral("1"));
    c.zone(cx - punch - 2.5, bottom - b - 2.5, QStringLiteral("2"));
    c.zone(cx - punch - 2.5, cupTop + 8, QStringLiteral("3"));
}

} // namespace

void drawSketch(QPainter& painter, const out::Picture& picture, double dotsPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    Canvas c(painter, picture, dotsPerMm);
    if (picture.sketch == out::Sketch::Forward)
        forwardSketch(c);
    else
        backwardSketch(c);
    painter.restore();
}

} // namespace prolis
