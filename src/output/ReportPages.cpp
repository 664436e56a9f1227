#include "ReportPages.h"

#include "Protocol.h"

namespace prolis::out {

namespace {

// The vertical steps of the notation, in mm from the top of the row's text.
constexpr double GreekRaise = -2.0;   // a main Greek symbol stands higher
constexpr double SubAfterLatin = 2.6; // an 8 or 9 pt subscript of a Latin letter
constexpr double SubLowered = 2.0;    // a 10 pt subscript (f1, D0, h0, L1)
constexpr double SubAfterGreek = 1.0; // a subscript of a Greek symbol
constexpr double FurtherSub = 2.8;    // "max" after a Greek subscript
constexpr double SuperscriptRaise = -1.2;
constexpr double EqualsGap = 0.8; // between "=" and its value label

// One piece of a symbol: its text, font and height against the row's text.
struct Part {
    QString text;
    FontRole font;
    double dy;
};
using Symbol = QList<Part>;

Symbol latin(const QString& letters, const QString& sub = {}, FontRole subFont = FontRole::Sub9) {
    Symbol s{{letters, FontRole::Text, 0}};
    if (!sub.isEmpty()) s.append({sub, subFont, subFont == FontRole::Sub10 ? SubLowered : SubAfterLatin});
    return s;
}

Symbol greek(const QString& letter, const QString& sub = {}, FontRole subFont = FontRole::Sub8) {
    Symbol s{{letter, FontRole::Greek, GreekRaise}};
    if (!sub.isEmpty()) s.append({sub, subFont, SubAfterGreek});
    return s;
}

// A Greek symbol with a Greek subscript (ρφ2) and an optional further "max".
Symbol greekOfGreek(const QString& letter, const QString& sub, bool max = false) {
    Symbol s{{letter, FontRole::Greek, GreekRaise}, {sub, FontRole::GreekSub, SubAfterGreek}};
    if (max) s.append({QStringLiteral("max"), FontRole::Sub8, FurtherSub});
    return s;
}

const QString Sigma = QStringLiteral("σ");
const QString Tau = QStringLiteral("τ");
const QString Phi = QStringLiteral("φ");
const QString Epsilon = QStringLiteral("ε");

// The band of a report form: positions in mm from its top-left corner,
// which lies at the page margins.
class Band {
public:
    explicit Band(Page& page) : m_page(page) {}

    void caption(double x, double top, const QString& text, FontRole font = FontRole::Text) {
        add({text, font, x, top, Anchor::Left, {}});
    }
    void value(double x, double top, const QString& text, const QString& field) {
        add({text, FontRole::Text, x, top, Anchor::Left, field});
    }
    // A symbol at x (its pieces one after the other), nothing else.
    void symbol(double x, double top, const Symbol& s) {
        for (qsizetype i = 0; i < s.size(); ++i)
            add({s[i].text,
                 s[i].font,
                 i == 0 ? x : 0.0,
                 top + s[i].dy,
                 i == 0 ? Anchor::Left : Anchor::After,
                 {}});
    }
    // A symbol right after the previous element (a heading that ends in one).
    void symbolAfter(double rowTop, const Symbol& s) {
        for (const Part& p : s)
            add({p.text, p.font, 0.0, rowTop + p.dy, Anchor::After, {}});
    }
    // A symbol, an equals sign just before its value label, the value.
    void group(double x, double valueX, double top, const Symbol& s, const QString& text,
               const QString& field) {
        symbol(x, top, s);
        add({QStringLiteral("="), FontRole::Text, valueX - EqualsGap, top, Anchor::RightEnd, {}});
        value(valueX, top, text, field);
    }
    void picture(Sketch sketch, double x, double top, double width, double height) {
        m_page.picture = Picture{sketch, Margin + x, Margin + top, width, height};
    }
    void rule(double x, double top, double width) {
        m_page.rules.append(Rule{Margin + x, Margin + top, width});
    }

private:
    void add(TextElement e) {
        e.x += e.anchor == Anchor::After ? 0.0 : Margin;
        e.top += Margin;
        m_page.texts.append(std::move(e));
    }
    Page& m_page;
};

QString field(fwd::Field f) {
    return QLatin1String(fwd::fieldNames()[static_cast<size_t>(f)]);
}
QString field(bwd::Field f) {
    return QLatin1String(bwd::fieldNames()[static_cast<size_t>(f)]);
}

} // namespace

QList<Page> forwardReport(const fwd::Souhrn& r) {
    using enum fwd::Field;
    const bool cone = isConeDie(r);
    Page page;
    Band b(page);
    const auto v = [&](double x, double top, fwd::Field f) { b.value(x, top, r[f], field(f)); };
    const auto g = [&](double x, double valueX, double top, const Symbol& s, fwd::Field f) {
        b.group(x, valueX, top, s, r[f], field(f));
    };

    b.caption(42.3, 5.3, ForwardTitle, FontRole::Title);
    b.caption(10.6, 19.2, QStringLiteral("Použitý materiál"));
    b.caption(10.6, 26.5, QStringLiteral("Ocel"));
    v(21.2, 26.5, Ocel);
    b.caption(165.0, 26.5, QStringLiteral("Teplota"));
    b.caption(10.6, 33.7, QStringLiteral("Rm"));
    v(16.9, 33.7, Rm);
    b.caption(29.8, 33.7, QStringLiteral("MPa"));
    b.caption(45.6, 33.7, QStringLiteral("Rp"));
    v(50.9, 33.7, Rp);
    b.caption(63.5, 33.7, QStringLiteral("MPa"));
    b.caption(81.4, 33.7, QStringLiteral("A5"));
    v(88.0, 33.7, A5);
    b.caption(99.5, 33.7, QStringLiteral("%"));
    b.caption(119.7, 33.7, QStringLiteral("Z"));
    v(122.7, 33.7, Z);
    b.caption(134.3, 33.7, QStringLiteral("%"));
    b.value(165.0, 33.7, r[Teplota] + QStringLiteral(" °C"), field(Teplota));

    const Symbol h0D0Symbol{{QStringLiteral("h"), FontRole::Text, 0},
                            {QStringLiteral("0"), FontRole::Sub8, SubAfterLatin},
                            {QStringLiteral("/D"), FontRole::Text, 0},
                            {QStringLiteral("0"), FontRole::Sub8, SubAfterLatin}};
    const Symbol s0s3Symbol{{QStringLiteral("s"), FontRole::Text, 0},
                            {QStringLiteral("0"), FontRole::Sub8, SubAfterLatin},
                            {QStringLiteral("/s"), FontRole::Text, 0},
                            {QStringLiteral("3"), FontRole::Sub8, SubAfterLatin}};
    g(10.6, 25.5, 41.3, h0D0Symbol, h0D0);
    g(54.9, 69.8, 41.3, s0s3Symbol, s0s3);
    g(96.2, 112.1, 41.3, greek(Epsilon, QStringLiteral("(max)")), EpsMax);
    g(10.6, 25.5, 48.9, greek(Phi, QStringLiteral("(max)")), FiMax);
    g(53.6, 62.2, 48.9, Symbol{{QStringLiteral("2α"), FontRole::Greek, GreekRaise}}, Alfa2);
    g(86.7, 95.2, 48.9, latin(QStringLiteral("f"), QStringLiteral("1"), FontRole::Sub10), f1);
    g(115.4, 122.7, 48.9, latin(QStringLiteral("f"), QStringLiteral("2"), FontRole::Sub10), f2);
    g(143.9, 152.5, 48.9, latin(QStringLiteral("f"), QStringLiteral("3"), FontRole::Sub10), f3);
    g(10.6, 25.5, 54.9, greek(Phi, QStringLiteral("(str)")), FiStr);

    b.caption(10.6, 62.5, QStringLiteral("Hlavní logaritmické přetvoření"));
    b.caption(78.4, 62.5, QStringLiteral("Přirozený přetvárný odpor"));
    b.caption(134.9, 62.5, QStringLiteral("Fce použitá pro výpočet "));
    b.symbolAfter(62.5, greek(Sigma, QStringLiteral("P3")));
    g(10.6, 19.2, 68.8, greek(Phi, QStringLiteral("3"), FontRole::Sub9), Fi3);
    g(78.4, 89.0, 68.8, greek(Sigma, QStringLiteral("P3")), SigmaP3);
    v(136.9, 68.8, Fce);

    b.caption(10.6, 77.4, QStringLiteral("Měrná přetvárná práce"));
    b.caption(78.4, 77.4, QStringLiteral("Střední přirozený přetvárný odpor"));
    b.caption(10.6, 83.7, QStringLiteral("Aj = "));
    v(19.2, 83.7, Aj);
    g(77.4, 89.0, 83.7, greek(Sigma, QStringLiteral("PS")), SigmaPS);

    b.caption(10.6, 90.0,
              cone ? QStringLiteral("Průtlačnice s redukčním kuželem:")
                   : QStringLiteral("Průtlačnice bez redukčního kužele:"));
    b.caption(10.6, 97.2,
              cone ? QStringLiteral("Vstup do redukční části průtlačnice -")
                   : QStringLiteral("Vstup do průtlačnice -"));
    b.picture(Sketch::Forward, 76.7, 100.2, 58.5, 58.5);
    g(10.6, 20.2, 104.8, greekOfGreek(Sigma, QStringLiteral("ρ2")), SigmaRo2);
    g(10.6, 21.2, 112.1, greekOfGreek(Sigma, QStringLiteral("φ2")), SigmaFi2);
    // The further "max" makes the symbol longer: its value stands further
    // right, so that the "=" keeps clear of the "max".
    g(10.6, cone ? 23.5 : 27.5, 122.7, greekOfGreek(Tau, QStringLiteral("ρφ2"), !cone),
      cone ? TauRoFi2 : TauRoFi2max);

    b.caption(10.6, 131.3, QStringLiteral("Výstup do válcového očka"));
    g(10.6, 21.2, 136.6, greekOfGreek(Sigma, QStringLiteral("ρ3")), SigmaRo3);
    g(10.6, 21.2, 143.9, greekOfGreek(Sigma, QStringLiteral("φ3")), SigmaFi3);
    if (cone) g(10.6, 22.2, 153.5, greekOfGreek(Tau, QStringLiteral("ρφ3")), TauRoFi3);
    g(10.6, 21.2, 162.1, greek(Sigma, QStringLiteral("r3"), FontRole::Sub9), SigmaR3);
    g(10.6, 19.2, 169.3, greek(Tau, QStringLiteral("3"), FontRole::Sub9), Tau3);

    b.caption(10.6, 177.9, QStringLiteral("Vstup do válcového kontejneru"));
    const QString mx = cone ? QString() : QStringLiteral("max");
    g(10.6, 26.5, 184.2, greek(Sigma, QStringLiteral("z1") + mx, FontRole::Sub9),
      cone ? SigmaZ1 : SigmaZ1max);
    g(10.6, 26.5, 192.5, greek(Sigma, QStringLiteral("r1") + mx, FontRole::Sub9),
      cone ? SigmaR1 : SigmaR1max);
    g(10.6, 27.1, 201.1, greek(Tau, QStringLiteral("rz1") + mx, FontRole::Sub9), cone ? TauRZ1 : TauRZ1max);

    b.caption(10.6, 209.7, QStringLiteral("Výstup z válcového kontejneru"));
    g(10.6, 22.2, 216.0, greek(Sigma, QStringLiteral("z2"), FontRole::Sub9), SigmaZ2);
    g(10.6, 21.2, 224.2, greek(Sigma, QStringLiteral("r2"), FontRole::Sub9), SigmaR2);
    g(10.6, 22.2, 234.8, greek(Tau, QStringLiteral("rz2"), FontRole::Sub9), TauRZ2);

    b.caption(10.6, 243.4, QStringLiteral("Potřebná protlačovací síla"));
    if (cone) {
        b.caption(10.6, 250.7, QStringLiteral("F     =  "));
        v(25.1, 250.7, F);
    } else {
        // The blanks of "F     =" do not hold the "max": an "=" of its own
        // just before the value, clear of it.
        g(10.6, 25.1, 250.7, latin(QStringLiteral("F"), QStringLiteral("max"), FontRole::Sub8), Fmax);
    }

    // The dimensions beside the sketch.
    constexpr double Sym = 145.5, Value = 153.8;
    b.caption(Sym, 105.5, QStringLiteral("Rozměry polotovaru:"));
    g(Sym, Value, 111.8, latin(QStringLiteral("D"), QStringLiteral("0"), FontRole::Sub10), D0);
    g(Sym, Value, 119.7, latin(QStringLiteral("h"), QStringLiteral("0"), FontRole::Sub10), h0);
    b.caption(Sym, 129.3, QStringLiteral("Rozměry průtlačku:"));
    g(Sym, Value, 137.3, latin(QStringLiteral("D"), QStringLiteral("1"), FontRole::Sub10), D1);
    g(Sym, Value, 145.2, latin(QStringLiteral("D"), QStringLiteral("2"), FontRole::Sub10), D2);
    g(Sym, Value, 153.1, latin(QStringLiteral("D"), QStringLiteral("3"), FontRole::Sub10), D3);
    g(Sym, Value, 161.1, latin(QStringLiteral("L"), QStringLiteral("1"), FontRole::Sub10), L1);
    g(Sym, Value, 169.0, latin(QStringLiteral("L"), QStringLiteral("3"), FontRole::Sub10), L3);
    return {page};
}

QList<Page> backwardReport(const bwd::Souhrn& r) {
    using F = bwd::Field;
    Page page;
    Band band(page);
    const auto v = [&](double x, double top, F f) { band.value(x, top, r[f], field(f)); };
    const auto g = [&](double x, double valueX, double top, const Symbol& s, F f) {
        band.group(x, valueX, top, s, r[f], field(f));
    };
    const auto heading = [&](double x, double top, const QString& text) { band.caption(x, top, text); };

    band.caption(48.6, 5.3, BackwardTitle, FontRole::Title);
    heading(10.6, 18.9, QStringLiteral("Použitý materiál"));
    heading(10.6, 26.5, QStringLiteral("Ocel"));
    v(21.2, 26.5, F::Ocel);
    heading(164.7, 26.5, QStringLiteral("Teplota"));
    heading(10.6, 34.4, QStringLiteral("Rm"));
    v(17.5, 34.4, F::Rm);
    heading(29.8, 34.4, QStringLiteral("MPa"));
    heading(45.3, 34.4, QStringLiteral("Rp"));
    v(50.9, 34.4, F::Rp);
    heading(62.8, 34.4, QStringLiteral("MPa"));
    heading(81.7, 34.4, QStringLiteral("A5"));
    v(87.6, 34.4, F::A5);
    heading(99.9, 34.4, QStringLiteral("%"));
    heading(119.4, 34.4, QStringLiteral("Z"));
    v(122.7, 34.4, F::Z);
    heading(134.6, 34.4, QStringLiteral("%"));
    band.value(164.7, 34.4, r[F::Teplota] + QStringLiteral(" °C"), field(F::Teplota));

    g(10.6, 25.1, 42.3, greek(Phi, QStringLiteral("(max)")), F::FiMax);
    g(46.0, 53.9, 42.3, latin(QStringLiteral("f"), QStringLiteral("1"), FontRole::Sub10), F::f1);
    g(73.8, 81.0, 42.3, latin(QStringLiteral("f"), QStringLiteral("2"), FontRole::Sub10), F::f2);
    g(102.2, 115.1, 42.3, latin(QStringLiteral("f"), QStringLiteral("2stř"), FontRole::Sub10), F::f2str);
    g(10.6, 25.1, 50.3, greek(Phi, QStringLiteral("(str)")), F::FiStr);

    heading(10.6, 62.2, QStringLiteral("Konečná výška dna kalíšku"));
    heading(79.4, 62.2, QStringLiteral("Kontrola podmínky dle Dippera"));
    heading(141.2, 62.2, QStringLiteral("Fce použitá pro výpočet "));
    band.symbolAfter(62.2, greek(Sigma, QStringLiteral("Pc")));
    g(10.6, 17.2, 68.5, latin(QStringLiteral("b")), F::b);
    g(79.4, 86.7, 68.5, greek(Epsilon), F::Epsilon);
    v(143.2, 68.5, F::Fce);

    heading(10.6, 77.1, QStringLiteral("Logaritmické přetvoření v zóně 1"));
    heading(79.4, 77.1, QStringLiteral("Celkové přetvoření na výstupu ze zóny 2"));
    g(10.6, 19.5, 84.3, greek(Phi, QStringLiteral("1"), FontRole::Sub9), F::Fi1);
    g(79.4, 89.3, 84.3, greek(Phi, QStringLiteral("c")), F::Fic);
    heading(10.6, 92.9, QStringLiteral("Přetvoření v zóně 2"));
    g(10.6, 19.5, 100.2, greek(Phi, QStringLiteral("2"), FontRole::Sub9), F::Fi2);

    heading(10.6, 108.8, QStringLiteral("Přirozený přetvárný odpor v zóně 1"));
    band.picture(Sketch::Backward, 99.5, 113.8, 57.5, 53.2);
    g(10.6, 21.2, 115.1, greek(Sigma, QStringLiteral("P1")), F::SigmaP1);
    heading(10.6, 122.0, QStringLiteral("Celkový přirozený přetvárný odpor"));
    g(10.6, 21.2, 128.3, greek(Sigma, QStringLiteral("Pc")), F::SigmaPc);
    heading(10.6, 135.3, QStringLiteral("Přirozený přetvárný odpor v zóně 2 - střední hodnota"));
    g(10.6, 23.8, 141.6, greek(Sigma, QStringLiteral("P2stř")), F::SigmaP2str);
    heading(10.6, 149.5, QStringLiteral("Střední měrný tlak na čele průtlačníku"));
    g(10.6, 24.5, 155.8, greek(Sigma, QStringLiteral("Z1stř")), F::SigmaZ1str);
    heading(10.6, 164.4, QStringLiteral("Měrná přetvárná práce pro přetvoření v zóně 1"));
    g(10.6, 19.5, 171.0, latin(QStringLiteral("Aj"), QStringLiteral("1")), F::Aj1);
    heading(10.6, 178.9, QStringLiteral("Celková měrná přetvárná práce "));
    g(10.6, 19.5, 185.5, latin(QStringLiteral("Aj"), QStringLiteral("c")), F::Ajc);
    heading(10.6, 192.8, QStringLiteral("Celková přetvárná práce "));
    g(10.6, 19.5, 199.4, latin(QStringLiteral("A"), QStringLiteral("c")), F::Ac);
    heading(10.6, 209.7, QStringLiteral("Potřebná protlačovací síla"));
    heading(10.6, 217.0, QStringLiteral("F =  "));
    v(17.5, 217.0, F::F);

    // The dimensions at the right of the lower half.
    constexpr double Sym = 110.8, Value = 119.1;
    heading(Sym, 170.7, QStringLiteral("Rozměry polotovaru:"));
    g(Sym, Value, 176.9, latin(QStringLiteral("D"), QStringLiteral("0"), FontRole::Sub10), F::D0);
    g(Sym, Value, 184.9, latin(QStringLiteral("h"), QStringLiteral("0"), FontRole::Sub10), F::h0);
    heading(Sym, 194.5, QStringLiteral("Rozměry průtlačku:"));
    g(Sym, Value, 202.4, latin(QStringLiteral("d")), F::d);
    g(Sym, Value, 210.3, latin(QStringLiteral("H")), F::H);
    return {page};
}

namespace {
// The fixed part of every summary page: title, headings, units and the rule.
void summaryHeader(Band& band) {
    band.caption(36.4, 5.3, QStringLiteral("Zpětné kvazistatické protlačování - souhrn"), FontRole::Title);
    constexpr double Top = 18.9;
    band.caption(14.6, Top, QStringLiteral("Ocel"));
    band.caption(31.4, Top, QStringLiteral("Teplota"));
    band.symbol(49.9, Top, greek(Sigma, QStringLiteral("P1")));
    band.symbol(66.1, Top, greek(Sigma, QStringLiteral("Pc")));
    band.symbol(84.3, Top, latin(QStringLiteral("Aj"), QStringLiteral("1")));
    band.symbol(102.5, Top, latin(QStringLiteral("Aj"), QStringLiteral("c")));
    band.symbol(120.1, Top, latin(QStringLiteral("A"), QStringLiteral("c")));
    band.symbol(134.9, Top, greek(Sigma, QStringLiteral("P2stř")));
    band.symbol(151.8, Top, greek(Sigma, QStringLiteral("Z1stř")));
    band.caption(173.6, Top, QStringLiteral("F"));
    constexpr double Units = 26.1;
    band.caption(34.7, Units, QStringLiteral("[°C]"));
    band.caption(48.3, Units, QStringLiteral("[MPa]"));
    band.caption(64.5, Units, QStringLiteral("[MPa]"));
    const Symbol work{{QStringLiteral("[J/mm"), FontRole::Text, 0},
                      {QStringLiteral("3"), FontRole::Superscript, SuperscriptRaise},
                      {QStringLiteral("]"), FontRole::Text, 0}};
    band.symbol(80.7, Units, work);
    band.symbol(99.2, Units, work);
    band.caption(120.1, Units, QStringLiteral("[J]"));
    band.caption(134.9, Units, QStringLiteral("[MPa]"));
    band.caption(153.8, Units, QStringLiteral("[MPa]"));
    band.caption(171.3, Units, QStringLiteral("[kN]"));
    band.rule(5.6, 30.8, 180.2);
}
} // namespace

QList<Page> summaryReport(const QList<bwd::SouhrnVysl>& rows) {
    constexpr std::array<double, bwd::SummaryFieldCount> Columns{12.8, 34.6,  45.6,  62.1,  81.3,
                                                                 99.8, 115.7, 133.5, 152.1, 169.3};
    QList<Page> pages;
    for (qsizetype first = 0; first == 0 || first < rows.size(); first += SummaryLinesPerPage) {
        Page page;
        Band band(page);
        summaryHeader(band);
        // The lines stand at the same places on every page.
        for (qsizetype i = first; i < rows.size() && i < first + SummaryLinesPerPage; ++i) {
            const double top = 36.3 + 4.63 * static_cast<double>(i - first);
            for (size_t c = 0; c < bwd::SummaryFieldCount; ++c) {
                band.value(Columns[c], top, rows[i].f[c], QLatin1String(bwd::summaryFieldNames()[c]));
                // A material name longer than its column is drawn smaller.
                if (c == 0) page.texts.last().fitWidth = Columns[1] - Columns[0] - 0.8;
            }
        }
        pages.append(std::move(page));
    }
    return pages;
}

} // namespace prolis::out
