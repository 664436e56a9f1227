#include "MaterialDisplay.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QTextLayout>

namespace prolis {

namespace {
constexpr int Gap = 2;

// The lines of `text` in `width` pixels: at blanks, inside a word only when
// the word alone is wider.
void layoutLines(QTextLayout& layout, int width) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}
// The name as laid out: a blank between digits ("15 142", a grouped number)
// does not break.
QString layoutText(QString name) {
    for (qsizetype i = 1; i + 1 < name.size(); ++i)
        if (name[i] == u' ' && name[i - 1].isDigit() && name[i + 1].isDigit()) name[i] = QChar(0x00A0);
    return name;
}
} // namespace

MaterialDisplay::MaterialDisplay(QWidget* window, const Labels& labels, QWidget* above, QWidget* beside,
                                 QWidget* below)
    : QObject(window), m_window(window), m_l(labels), m_above(above), m_beside(beside), m_below(below),
      m_defaultTop(labels.name->y()), m_nameLeft(labels.name->x()) {
    m_l.name->installEventFilter(this);
    relayout();
}

void MaterialDisplay::relayout() {
    const int right = m_beside->isVisibleTo(m_window) ? m_beside->x() - 4 : m_beside->x() + m_beside->width();
    const int rowHeight = std::max(m_l.temperature->height(), m_l.temperature->fontMetrics().height());
    const int lineHeight = m_l.name->fontMetrics().lineSpacing();
    const int floor = m_below->y() - Gap;
    const int ceiling = m_above->y() + m_above->height() + Gap;
    const QString text = layoutText(m_l.name->text());
    const auto linesIn = [&](int width) {
        QTextLayout layout(text, m_l.name->font());
        layoutLines(layout, width);
        return layout.lineCount();
    };

    // Beside the caption while the name fits there on one line; otherwise
    // (the "Uložit jako" group narrows the row) on a line of its own under
    // the caption, as wide as the rows go, when it needs fewer lines there.
    const int besideWidth = std::max(20, right - m_nameLeft);
    const int underWidth = std::max(20, right - m_l.caption->x());
    const bool under = linesIn(besideWidth) > 1 && linesIn(underWidth) < linesIn(besideWidth);
    const int left = under ? m_l.caption->x() : m_nameLeft;
    const int width = under ? underWidth : besideWidth;
    const int captionRow = under ? rowHeight + Gap : 0;

    // As many lines as the space between the frame above and the buttons
    // below holds; a name longer still ends in "…" (the tool tip has it all).
    const int room = std::max(1, (floor - ceiling - Gap - rowHeight - captionRow) / lineHeight);
    m_lines = std::clamp(linesIn(width), 1, room);
    const int nameHeight = std::max(rowHeight, m_lines * lineHeight);

    int top = m_defaultTop;
    if (top + captionRow + nameHeight + Gap + rowHeight > floor)
        top = std::max(ceiling, floor - captionRow - nameHeight - Gap - rowHeight);
    m_l.caption->move(m_l.caption->x(), top);
    m_l.name->setGeometry(left, top + captionRow, width, nameHeight);
    const int second = top + captionRow + nameHeight + Gap;
    m_l.temperatureCaption->move(m_l.temperatureCaption->x(), second);
    m_l.temperature->move(m_l.temperature->x(), second);
    m_l.name->setToolTip(m_l.name->text());
    m_l.name->update();
}

bool MaterialDisplay::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_l.name || event->type() != QEvent::Paint) return QObject::eventFilter(watched, event);
    QPainter p(m_l.name);
    p.setPen(m_l.name->palette().color(m_l.name->foregroundRole()));
    const QString text = layoutText(m_l.name->text());
    QTextLayout layout(text, m_l.name->font());
    layoutLines(layout, m_l.name->width());
    for (int i = 0; i < layout.lineCount() && i < m_lines; ++i) {
        const QTextLine line = layout.lineAt(i);
        if (i == m_lines - 1 && i < layout.lineCount() - 1) {
            const QString rest = text.mid(line.textStart());
            p.drawText(QPointF(0, line.y() + line.ascent()),
                       m_l.name->fontMetrics().elidedText(rest, Qt::ElideRight, m_l.name->width()));
        } else {
            line.draw(&p, QPointF(0, 0));
        }
    }
    return true;
}

} // namespace prolis
