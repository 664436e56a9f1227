#pragma once
// Word documents: the requests the system makes of a word processor (new
// document, orientation, alignment, bold toggle, underline, size, typed text
// with CR ending a paragraph) applied to a small document model exactly as
// Word applies them, and the model written as an Office Open XML file.
#include "domain/BackwardRecord.h"
#include "domain/ForwardRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace prolis::out {

struct Run {
    QString text;
    bool bold = false;
    bool underline = false;
    int size = 0; // points; 0: the document's default size
    bool operator==(const Run&) const = default;
};

enum class Alignment { Left = 0, Centre = 1 };

struct Paragraph {
    Alignment alignment = Alignment::Left;
    QList<Run> runs;
    Run mark; // the formatting of the paragraph mark (text empty): what was current when it ended
    QString text() const;
};

struct WordDocument {
    bool landscape = false;
    QList<Paragraph> paragraphs;
};

// The insertion point of a new document, taking the requests in order.
class WordSession {
public:
    WordSession();
    void setLandscape();                // PageSetup.Orientation = 1
    void setAlignment(Alignment a);     // ParagraphFormat.Alignment of the current paragraph
    void toggleBold();                  // Font.Bold = 9999998
    void setUnderline(bool single);     // Font.Underline = 1 or 0
    void setSize(int points);           // Font.Size
    void typeText(const QString& text); // TypeText: a CR ends the paragraph
    WordDocument document() const;      // with the current formatting on the last paragraph mark

private:
    WordDocument m_doc;
    bool m_bold = false, m_underline = false;
    int m_size = 0;
};

// The three documents of the system.
WordDocument forwardDocument(const fwd::Souhrn& r);
WordDocument backwardDocument(const bwd::Souhrn& r);
WordDocument summaryDocument(const QList<bwd::SouhrnVysl>& rows);

// The document's default font size (the title keeps it), in points.
inline constexpr int DefaultFontSize = 12;

// The .docx file of a document.
QByteArray docxBytes(const WordDocument& doc);

} // namespace prolis::out
