#pragma once
// The protocol of a calculation as lines: the text protocol files and the
// Word documents are built from the same lines, which differ only where the
// document's layout differs (the Word flavour).
#include "domain/BackwardRecord.h"
#include "domain/ForwardRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace prolis::out {

// One line; a separator line is its own kind (a CR in a text file, an empty
// paragraph in a document).
struct Line {
    QString text;
    bool separator = false;
    bool operator==(const Line&) const = default;
};
using Lines = QList<Line>;

enum class Flavour {
    Text, // the whole text protocol, from its first line
    Word, // the body of the Word document: what follows the title and the empty paragraph
};

inline const QString ForwardTitle = QStringLiteral("Dopředné kvazistatické protlačování");
inline const QString BackwardTitle = QStringLiteral("Zpětné kvazistatické protlačování");

// A forward record is a cone-die record when its die type is exactly this text.
bool isConeDie(const fwd::Souhrn& r);

Lines forwardProtocol(const fwd::Souhrn& r, Flavour flavour);
Lines backwardProtocol(const bwd::Souhrn& r, Flavour flavour);
// The text file's summary table: the six header lines and one line per row.
Lines summaryTable(const QList<bwd::SouhrnVysl>& rows);

// A text file: Windows-1250 ("?" for what it cannot hold), no byte-order
// mark, every line ended by CR LF, a separator written as CR CR LF.
QByteArray textFileBytes(const Lines& lines);

} // namespace prolis::out
