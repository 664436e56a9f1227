#include "ChartWorkbook.h"

#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/History.h"
#include "core/NumberText.h"

#include <QFile>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace prolis::out {

namespace {
const QString TemperatureHeading = QStringLiteral("Teplota [°C]");
const QString ForceHeading = QStringLiteral("Protlačovací síla [kN]");
constexpr lxw_color_t PaletteGrey15 = 0xC0C0C0; // fill colour 15 of the spreadsheet's palette

[[noreturn]] void fail(lxw_error e) {
    throw Error(QStringLiteral("Sešit s grafem nelze vytvořit: %1").arg(QString::fromUtf8(lxw_strerror(e))));
}
} // namespace

double columnWidthFor(const QString& heading) {
    // There is no automatic fit in the writer: the heading's characters, a
    // narrow one (i, l, t, [ ]) counting about half a digit, a capital or a
    // wide one about one and a half, plus a margin.
    double width = 0;
    for (QChar c : heading) {
        const QChar base = c.decompositionTag() == QChar::NoDecomposition || c.decomposition().isEmpty()
                               ? c
                               : c.decomposition().front();
        if (QStringLiteral("iljtfr.,:;[]()| ").contains(base))
            width += 0.55;
        else if (QStringLiteral("mwMW").contains(base))
            width += 1.5;
        else if (base.isUpper())
            width += 1.2;
        else
            width += 1.0;
    }
    return std::ceil(width + 1.5);
}

QByteArray chartWorkbook(const QList<bwd::SouhrnVysl>& rows) {
    using enum bwd::SummaryField;
    if (rows.isEmpty()) throw Error(MsgNoSummaryRows);
    // The values first: a text that is no number fails before anything is written.
    QList<int> temperatures;
    QList<double> forces;
    for (const bwd::SouhrnVysl& row : rows) {
        temperatures.append(temperatureValue(row[Teplota]));
        forces.append(textToFloat(row[F]));
    }
    // The workbook library writes texts into XML parts as they are.
    const QByteArray material = xmlSafe(rows.constFirst()[Ocel]).toUtf8();

    // The writer writes files only: a private temporary one, read back.
    QTemporaryDir dir;
    if (!dir.isValid())
        throw Error(QStringLiteral("Sešit s grafem nelze vytvořit: %1").arg(dir.errorString()));
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("graf.xlsx")));
    lxw_workbook* wb = workbook_new(path.constData());
    if (!wb) fail(LXW_ERROR_CREATING_TMPFILE);

    const QByteArray title = QStringLiteral("Výsledky pro materiál: ").toUtf8() + material;
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(title.constData());
    workbook_set_properties(wb, &properties);

    lxw_worksheet* sheet = workbook_add_worksheet(wb, "List1");
    lxw_format* heading = workbook_add_format(wb);
    format_set_pattern(heading, LXW_PATTERN_SOLID);
    format_set_bg_color(heading, PaletteGrey15);
    worksheet_write_string(sheet, 0, 0, TemperatureHeading.toUtf8().constData(), heading);
    worksheet_write_string(sheet, 0, 1, ForceHeading.toUtf8().constData(), heading);
    worksheet_set_column(sheet, 0, 0, columnWidthFor(TemperatureHeading), nullptr);
    worksheet_set_column(sheet, 1, 1, columnWidthFor(ForceHeading), nullptr);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto r = static_cast<lxw_row_t>(i + 1);
        worksheet_write_number(sheet, r, 0, temperatures[i], nullptr);
        worksheet_write_number(sheet, r, 1, forces[i], nullptr);
    }

    // The chart: force against temperature, markers only.
    lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_SCATTER);
    const QByteArray last = QByteArray::number(rows.size() + 1);
    lxw_chart_series* series = chart_add_series(chart, ("=List1!$A$2:$A$" + last).constData(),
                                                ("=List1!$B$2:$B$" + last).constData());
    chart_series_set_name(series, QStringLiteral("Závislost tvářecí síly\nna teplotě").toUtf8().constData());
    chart_title_set_name(chart, (QStringLiteral("Materiál: ").toUtf8() + material).constData());
    chart_axis_set_name(chart->x_axis, TemperatureHeading.toUtf8().constData());
    chart_axis_set_name(chart->y_axis, QStringLiteral("Síla [kN]").toUtf8().constData());
    if (rows.size() >= 2) {
        chart_series_set_trendline(series, LXW_CHART_TRENDLINE_TYPE_POLY, 3);
        chart_series_set_trendline_equation(series);
        chart_series_set_trendline_name(series,
                                        QStringLiteral("Trend:\nPolynom 3 stupně").toUtf8().constData());
        lxw_chart_line hairline{};
        hairline.color = LXW_COLOR_BLACK;
        hairline.width = 0.25;
        chart_series_set_trendline_line(series, &hairline);
    }
    lxw_chartsheet* chartsheet = workbook_add_chartsheet(wb, "Graf1");
    chartsheet_set_chart(chartsheet, chart);
    chartsheet_activate(chartsheet);

    const lxw_error closed = workbook_close(wb);
    if (closed != LXW_NO_ERROR) fail(closed);
    QFile file(dir.filePath(QStringLiteral("graf.xlsx")));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Sešit s grafem nelze vytvořit: %1").arg(file.errorString()));
    return file.readAll();
}

} // namespace prolis::out
