#pragma once
// The printed reports as page models: texts at positions in millimetres with
// their font roles, the sketch of the die with its box, and rules. Built from
// a record or from the summary rows; painted by the print layer on the
// preview's printer, a PDF or an image.
//
// Positions are millimetres from the paper's top-left corner (A4 portrait,
// 10 mm margins: the report band starts at 10/10). A text's top is the top of
// its text box.
#include "domain/BackwardRecord.h"
#include "domain/ForwardRecord.h"

#include <QList>
#include <QString>
#include <optional>

namespace prolis::out {

enum class FontRole {
    Text,       // Arial 10 pt
    Title,      // Arial 18 pt
    Sub8,       // a subscript, Arial 8 pt
    Sub9,       // a subscript, Arial 9 pt
    Sub10,      // a subscript, Arial 10 pt (f1, D0, ...)
    Greek,      // a main Greek symbol, 13 pt
    GreekSub,   // Greek letters in a subscript, 10 pt
    Superscript // a raised exponent, Arial 8 pt
};

// Where a text's left edge is.
enum class Anchor {
    Left,     // at `x`
    After,    // right after the previous element, `x` further
    RightEnd, // the text ends at `x`, but starts no earlier than just after the previous text
};

struct TextElement {
    QString text;
    FontRole font = FontRole::Text;
    double x = 0;
    double top = 0;
    Anchor anchor = Anchor::Left;
    QString field; // the record field a value label shows; empty for captions and symbols
    // When above 0: the width (mm) the text must keep within; a longer text
    // is drawn smaller (a long name in a table column) rather than run into
    // its neighbour.
    double fitWidth = 0;
};

enum class Sketch { Forward, Backward };

struct Picture {
    Sketch sketch;
    double left, top, width, height;
};

// A horizontal rule drawn as the strike-out of a 10 pt caption whose box
// starts at (left, top).
struct Rule {
    double left, top, width;
};

struct Page {
    QList<TextElement> texts;
    std::optional<Picture> picture;
    QList<Rule> rules;
};

inline constexpr double PageWidth = 210.0;
inline constexpr double PageHeight = 297.0;
inline constexpr double Margin = 10.0;

// The report of one forward calculation (one page).
QList<Page> forwardReport(const fwd::Souhrn& r);
// The report of one backward calculation (one page).
QList<Page> backwardReport(const bwd::Souhrn& r);
// The summary of all rows: the first page as the form has it; lines that do
// not fit above the bottom margin continue on further pages, each with the
// title, the headings and the rule.
QList<Page> summaryReport(const QList<bwd::SouhrnVysl>& rows);

// The summary lines a page holds.
inline constexpr int SummaryLinesPerPage = 51;

} // namespace prolis::out
