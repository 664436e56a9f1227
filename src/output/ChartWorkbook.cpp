#include "ChartWorkbook.h"

#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/History.h"
#include "core/NumberText.h"

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace prolis::out {

namespace {
const QString TemperatureHeading = QStringLiteral("Teplota [°C]");
const QString ForceHeading = QStringLiteral("Protlačovací síla [kN]");
constexpr lxw_color_t PaletteGrey15 = 0xC0C0C0; // fill colour 15 of the spreadsheet's palette

// Every failure of the workbook library is one of writing its files (a full
// or unwritable temporary folder): a file error, with the system's reason
// when there is one.
[[noreturn]] void fail(lxw_error e, int error) {
    QString reason = QString::fromUtf8(lxw_strerror(e));
    if (error != 0) reason += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
    throw FileError(QStringLiteral("Sešit s grafem nelze vytvořit: %1").arg(reason));
}

// The library reports its failures on standard error itself ("[ERROR] ...");
// ours is the one message the user (or a script) gets.
class QuietStandardError {
public:
    QuietStandardError() {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    int m_saved = -1;
};
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
        throw FileError(QStringLiteral("Sešit s grafem nelze vytvořit: %1").arg(dir.errorString()));
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("graf.xlsx")));
    // The library's own temporary files go to the same private folder.
    const QByteArray tmpdir = QFile::encodeName(dir.path());
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* wb;
    {
        const QuietStandardError quiet;
        wb = workbook_new_opt(path.constData(), &options);
    }
    if (!wb) fail(LXW_ERROR_CREATING_TMPFILE, errno);

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

    errno = 0;
    lxw_error closed;
    {
        const QuietStandardError quiet;
        closed = workbook_close(wb);
    }
    if (closed != LXW_NO_ERROR) fail(closed, errno);
    QFile file(dir.filePath(QStringLiteral("graf.xlsx")));
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Sešit s grafem nelze vytvořit: %1").arg(file.errorString()));
    return file.readAll();
}

} // namespace prolis::out
