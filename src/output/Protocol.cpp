#include "Protocol.h"

#include "core/Encoding.h"
#include "core/History.h"

namespace prolis::out {

namespace {

class Builder {
public:
    Builder& line(const QString& text) {
        m_lines.append(Line{text, false});
        return *this;
    }
    Builder& separator() {
        m_lines.append(Line{QString(), true});
        return *this;
    }
    // The material and temperature lines both protocols begin with, up to
    // the heading of the dimensions.
    Builder& materialHeader(const QString& ocel, const QString& rm, const QString& rp, const QString& a5,
                            const QString& z, const QString& teplota) {
        return line(QStringLiteral("Použitý materiál:"))
            .line(QStringLiteral("Ocel: ") + ocel)
            .line(QStringLiteral("Rm = ") + rm + QStringLiteral(" MPa   Rp = ") + rp +
                  QStringLiteral(" MPa   A5 = ") + a5 + QStringLiteral(" %   Z = ") + z +
                  QStringLiteral(" %"))
            .separator()
            .line(QStringLiteral("Teplota : ") + teplota + QStringLiteral(" °C"))
            .separator()
            .line(QStringLiteral("Rozměry součásti:"));
    }
    Lines take() { return std::move(m_lines); }

private:
    Lines m_lines;
};

const QString Indent15 = QString(15, QLatin1Char(' '));

} // namespace

bool isConeDie(const fwd::Souhrn& r) {
    return r[fwd::Field::TypVypoctu] == QLatin1String("s kuzelem");
}

Lines forwardProtocol(const fwd::Souhrn& r, Flavour flavour) {
    using enum fwd::Field;
    const bool cone = isConeDie(r);
    const bool word = flavour == Flavour::Word;
    Builder b;
    if (!word) b.line(Indent15 + ForwardTitle).separator();
    b.materialHeader(r[Ocel], r[Rm], r[Rp], r[A5], r[Z], r[Teplota])
        .line(QStringLiteral("D0 = ") + r[D0] + QStringLiteral("   h0 = ") + r[h0])
        .line(QStringLiteral("D1 = ") + r[D1] + QStringLiteral("   D2 = ") + r[D2] +
              QStringLiteral("   D3 = ") + r[D3] + QStringLiteral("   L1 = ") + r[L1] +
              QStringLiteral("   L3 = ") + r[L3])
        .line(QStringLiteral("Úhel 2 alfa = ") + r[Alfa2])
        .separator()
        .line(QStringLiteral("Součinitele tření:"))
        .line(QStringLiteral("f1 = ") + r[f1] + QStringLiteral("   f2 = ") + r[f2] +
              QStringLiteral("   f3 = ") + r[f3])
        .separator()
        .line(QStringLiteral("Hodnoty výpočtu:"));
    // The document spaces the five groups wider than the text file.
    const QString gap = word ? QStringLiteral("   ") : QStringLiteral(" ");
    b.line(QStringLiteral("h0/D0 = ") + r[h0D0] + gap + QStringLiteral("s0/s3 = ") + r[s0s3] + gap +
           QStringLiteral("Epsilon(max) = ") + r[EpsMax] + gap + QStringLiteral("Fi(max) = ") + r[FiMax] +
           gap + QStringLiteral("Fi(str) = ") + r[FiStr])
        .separator()
        .line(QStringLiteral("Hlavní logaritmické přetvoření - Fi3 = ") + r[Fi3])
        .line(QStringLiteral("Přirozený přetvárný odpor - Sigmap3 = ") + r[SigmaP3])
        .line(QStringLiteral("Použitá fce pro výpočet Sigmap3 : ") + r[Fce])
        .line(QStringLiteral("Měrná přetvárná práce - Aj = ") + r[Aj])
        .line(QStringLiteral("Střední přirozený přetvárný odpor - Sigmaps = ") + r[SigmaPS])
        .separator()
        .line(cone ? QStringLiteral("Průtlačnice s redukčním kuželem:")
                   : QStringLiteral("Průtlačnice bez redukčního kužele:"))
        .line(cone ? QStringLiteral("Vstup do redukční části průtlačnice -")
                   : QStringLiteral("Vstup do průtlačnice -"))
        .line(QStringLiteral("SigmaRo2 = ") + r[SigmaRo2])
        .line(QStringLiteral("SigmaFi2 = ") + r[SigmaFi2])
        .line(cone ? QStringLiteral("TauRoFi2 = ") + r[TauRoFi2]
                   : QStringLiteral("TauRoFi2max = ") + r[TauRoFi2max])
        .separator()
        .line(QStringLiteral("Výstup do válcového očka -"))
        .line(QStringLiteral("SigmaRo3 = ") + r[SigmaRo3])
        .line(QStringLiteral("SigmaFi3 = ") + r[SigmaFi3]);
    if (cone) b.line(QStringLiteral("TauRoFi3 = ") + r[TauRoFi3]);
    b.line(QStringLiteral("SigmaR3 = ") + r[SigmaR3])
        .line(QStringLiteral("Tau3 = ") + r[Tau3])
        .separator()
        .line(QStringLiteral("Vstup do válcového kontejneru -"));
    if (cone)
        b.line(QStringLiteral("SigmaZ1 = ") + r[SigmaZ1])
            .line(QStringLiteral("SigmaR1 = ") + r[SigmaR1])
            .line(QStringLiteral("TauRZ1 = ") + r[TauRZ1]);
    else
        b.line(QStringLiteral("SigmaZ1max = ") + r[SigmaZ1max])
            .line(QStringLiteral("SigmaR1max = ") + r[SigmaR1max])
            .line(QStringLiteral("TauRZ1max = ") + r[TauRZ1max]);
    b.separator()
        .line(QStringLiteral("Výstup z válcového kontejneru -"))
        .line(QStringLiteral("SigmaZ2 = ") + r[SigmaZ2])
        .line(QStringLiteral("SigmaR2 = ") + r[SigmaR2])
        .line(QStringLiteral("TauRZ2 = ") + r[TauRZ2])
        .separator()
        .line(QStringLiteral("Potřebná protlačovací síla:"))
        .line(cone ? QStringLiteral("F = ") + r[F] : QStringLiteral("Fmax = ") + r[Fmax]);
    return b.take();
}

Lines backwardProtocol(const bwd::Souhrn& r, Flavour flavour) {
    using enum bwd::Field;
    const bool word = flavour == Flavour::Word;
    Builder out;
    if (!word) out.separator().line(Indent15 + BackwardTitle).separator();
    out.materialHeader(r[Ocel], r[Rm], r[Rp], r[A5], r[Z], r[Teplota])
        // Two blanks between the groups in the text file, three in the document.
        .line(QStringLiteral("D0 = ") + r[D0] + (word ? QStringLiteral("   ") : QStringLiteral("  ")) +
              QStringLiteral("h0 = ") + r[h0])
        .line(QStringLiteral("d = ") + r[d] + QStringLiteral("   H = ") + r[H])
        .separator()
        .line(QStringLiteral("Součinitele tření:"))
        .line(QStringLiteral("f1 = ") + r[f1] + QStringLiteral("   f2 = ") + r[f2] +
              QStringLiteral("   f2str = ") + r[f2str])
        .separator()
        .line(QStringLiteral("Hodnoty výpočtu:"))
        .line(QStringLiteral("b = ") + r[b] + QStringLiteral("      Epsilon = ") + r[Epsilon] +
              QStringLiteral("   Fi(max) = ") + r[FiMax] + QStringLiteral("   Fi(str) = ") + r[FiStr])
        .separator()
        .line(QStringLiteral("Logaritmické přetvoření v zóně 1 - Fi1 = ") + r[Fi1])
        .line(QStringLiteral("Celkové přetvoření na výstupu ze zóny 2 - Fic = ") + r[Fic])
        .line(QStringLiteral("Logaritmické přetvoření v zóně 2 - Fi2 = ") + r[Fi2])
        .line(QStringLiteral("Přirozený přetvárný odpor v zóně 1 - Sigmap1 = ") + r[SigmaP1])
        .line(QStringLiteral("Celkový přirozený přetvárný odpor - Sigmapc = ") + r[SigmaPc])
        .line((word ? QStringLiteral("Použitá fce pro výpočet Sigmap1 : ")
                    : QStringLiteral("Použitá fce pro výpočet Sigmap1 Sigmapc : ")) +
              r[Fce])
        .line(QStringLiteral("Přirozený přetvárný odpor v zóně 2 - Sigmap2str = ") + r[SigmaP2str])
        .line(QStringLiteral("Střední měrný tlak na čele průtlačníku - Sigmaz1str = ") + r[SigmaZ1str])
        .line(QStringLiteral("Měrná přetvárná práce potřebná pro přetvoření v zóně 1 - Aj1 = ") + r[Aj1])
        .line(QStringLiteral("Celková měrná přetvárná práce potřebná na protlačení zadaného tvaru - Ajc = ") +
              r[Ajc])
        .line(QStringLiteral("Celková přetvárná práce - Ac = ") + r[Ac])
        .separator()
        .line(QStringLiteral("Potřebná protlačovací síla:"))
        .line(QStringLiteral("F = ") + r[F]);
    return out.take();
}

Lines summaryTable(const QList<bwd::SouhrnVysl>& rows) {
    using enum bwd::SummaryField;
    Builder b;
    b.separator()
        .line(QString(28, QLatin1Char(' ')) + QStringLiteral("Zpětné kvazistatické protlačování : souhrn"))
        .separator()
        .line(QStringLiteral(
            "   Ocel    Teplota   SigmaP1   SigmaPc     Aj1        Ajc        Ac     SigmaP2stř   "
            "SigmaZ1stř     F   "))
        .line(QStringLiteral(
            "    -       [°C]      [MPa]     [MPa]    [J/mm^3]   [J/mm^3]     [J]       [MPa]     "
            "   [MPa]      [kN] "))
        .line(QString(106, QLatin1Char('-')));
    for (const bwd::SouhrnVysl& row : rows) {
        // The temperature column is one blank nearer from 99 degrees on (not 100).
        const QString beforeTemperature =
            temperatureValue(row[Teplota]) < 99 ? QStringLiteral("    ") : QStringLiteral("   ");
        b.line(QStringLiteral("  ") + row[Ocel] + beforeTemperature + row[Teplota] +
               QStringLiteral("      ") + row[SigmaP1] + QStringLiteral("   ") + row[SigmaPc] +
               QStringLiteral("    ") + row[Aj1] + QStringLiteral("     ") + row[Ajc] +
               QStringLiteral("    ") + row[Ac] + QStringLiteral("   ") + row[SigmaP2str] +
               QStringLiteral("      ") + row[SigmaZ1str] + QStringLiteral("    ") + row[F]);
    }
    return b.take();
}

QByteArray textFileBytes(const Lines& lines) {
    QByteArray out;
    for (const Line& l : lines) {
        if (l.separator)
            out += '\r';
        else
            out += toCp1250(l.text, Controls::Replace);
        out += "\r\n";
    }
    return out;
}

} // namespace prolis::out
