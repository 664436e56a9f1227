#pragma once
// The force-temperature chart of the backward summary as a spreadsheet
// workbook: the data on the worksheet "List1", an XY scatter chart of the
// force against the temperature on a chart sheet (the active sheet), with a
// cubic trend line when there are at least two rows.
#include "domain/BackwardRecord.h"

#include <QByteArray>
#include <QList>

namespace prolis::out {

inline const QString MsgNoSummaryRows = QStringLiteral("Souhrn neobsahuje žádný výpočet.");

// The .xlsx file of the rows (at least one: the titles name the material of
// the first). A force or temperature that is no number raises ConvertError.
QByteArray chartWorkbook(const QList<bwd::SouhrnVysl>& rows);

// The width of a column that shows `heading` whole, in the spreadsheet's
// units (the width of a digit).
double columnWidthFor(const QString& heading);

} // namespace prolis::out
