#include "CurveFit.h"

#include "DataFields.h"
#include "MaterialEdit.h"
#include "core/Encoding.h"
#include "core/Errors.h"

#include <Eigen/Dense>
#include <QMap>
#include <QStringDecoder>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

namespace prolis::fit {

namespace {

constexpr double Pi = 3.1415926535897932385;

// A number as a measuring machine writes it, with the given decimal mark.
std::optional<double> numberOf(QString text, QChar mark) {
    text = text.trimmed();
    if (text.isEmpty()) return std::nullopt;
    if (mark == u',') text.replace(u',', u'.');
    const QByteArray ascii = text.toLatin1();
    if (ascii.contains(',')) return std::nullopt;
    double v = 0;
    const char* begin = ascii.constData() + (ascii.startsWith('+') ? 1 : 0);
    const auto r = std::from_chars(begin, ascii.constData() + ascii.size(), v);
    if (r.ec != std::errc() || r.ptr != ascii.constData() + ascii.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QStringList fieldsOf(const QString& line) {
    if (line.contains(u'\t')) return line.split(u'\t');
    if (line.contains(u';')) return line.split(u';');
    return line.split(u' ', Qt::SkipEmptyParts);
}

// The line (from 1) of byte `at`, counting CR, LF and CR LF as one break each.
int lineOfByte(const QByteArray& bytes, qsizetype at) {
    int line = 1;
    for (qsizetype i = 0; i < at; ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n'))) ++line;
    }
    return line;
}

// UTF-16 shows as a byte order mark or as a NUL beside every other byte.
bool looksUtf16(const QByteArray& bytes) {
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) return true;
    const qsizetype n = std::min<qsizetype>(bytes.size(), 200);
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (bytes[i] == '\0') ++(i % 2 ? odd : even);
    return n >= 4 && std::max(even, odd) * 4 >= n;
}

using Vector = Eigen::VectorXd;

// Levenberg–Marquardt on residuals r(x) (numerical derivatives).
struct Residuals {
    using Scalar = double;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };
    using InputType = Vector;
    using ValueType = Vector;
    using JacobianType = Eigen::MatrixXd;
    int n, m;
    std::function<void(const Vector&, Vector&)> f;
    int inputs() const { return n; }
    int values() const { return m; }
    int operator()(const Vector& x, Vector& r) const {
        f(x, r);
        return 0;
    }
};

// The minimum found and whether Levenberg–Marquardt says it converged (the
// tolerance statuses mean no further reduction is possible: converged at the
// precision of the doubles).
struct Minimum {
    Vector x;
    bool converged;
};

Minimum minimize(Vector start, int values, std::function<void(const Vector&, Vector&)> f) {
    Residuals functor{static_cast<int>(start.size()), values, std::move(f)};
    Eigen::NumericalDiff<Residuals> diff(functor);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<Residuals>> lm(diff);
    lm.parameters.maxfev = 4000;
    lm.parameters.xtol = 1e-15;
    lm.parameters.ftol = 1e-15;
    using namespace Eigen::LevenbergMarquardtSpace;
    const Status status = lm.minimize(start);
    const bool converged = status == RelativeReductionTooSmall || status == RelativeErrorTooSmall ||
                           status == RelativeErrorAndReductionTooSmall || status == CosinusTooSmall ||
                           status == FtolTooSmall || status == XtolTooSmall || status == GtolTooSmall;
    return {start, converged && start.allFinite()};
}

bool allFinite(const Fit& f) {
    for (const Law& law : f.laws)
        for (double v : law.values)
            if (!std::isfinite(v)) return false;
    return true;
}

// The fit judged against `points` through the model of the constants as
// stored; refused when a constant or the model leaves the doubles.
Fit& judged(Fit& f, const QList<Point>& points, const std::function<double(const Data&, double)>& model) {
    if (!allFinite(f)) {
        f.status = FitStatus::Refused;
        f.reason =
            QStringLiteral("konstanty vycházejí mimo rozsah čísel (hodnoty křivky jsou příliš velké nebo "
                           "příliš malé).");
        f.laws.clear();
        return f;
    }
    Data d;
    f.applyTo(d);
    const std::optional<Quality> q = quality(points, [&](double phi) { return model(d, phi); });
    if (!q) {
        f.status = FitStatus::Refused;
        f.reason = QStringLiteral("proložená rovnice nemá v rozsahu bodů všude konečnou hodnotu.");
        f.laws.clear();
        return f;
    }
    f.quality = *q;
    f.status = FitStatus::Made;
    return f;
}

Fit tooFew(FitKind kind, int needed, qsizetype have) {
    Fit f;
    f.kind = kind;
    f.status = FitStatus::TooFewPoints;
    const QString word = needed == 1  ? QStringLiteral("bod")
                         : needed < 5 ? QStringLiteral("body")
                                      : QStringLiteral("bodů");
    f.reason = QStringLiteral("potřebuje alespoň %1 %2, křivka má jen %3.").arg(needed).arg(word).arg(have);
    return f;
}

QStringList columnsOf(DataGroup group, int count = -1) {
    QStringList out;
    for (const DataField* f : fieldsOf(group))
        if (count < 0 || out.size() < count) out << f->name();
    return out;
}

double flowOf(const Data& d, EquationKind kind, double phi) {
    return FlowStress(d, kind, phi);
}

// Polytropa with b fixed: a·φ^b + c is linear in a and c. The residual of
// the best a > 0, c ≥ 0 (or c = 0), on stresses scaled to at most 1.
struct Linear {
    double a = 0, c = 0; // of the scaled stresses and of φ^b / max φ^b
    double residual = 0;
    bool rising = true;    // a > 0 exists; false: the best is a constant
    bool cClamped = false; // c would be negative
};

Linear polytropaAt(double b, const QList<double>& lnPhi, double lnMax, const QList<double>& y, bool freeC) {
    const qsizetype n = y.size();
    std::vector<double> g(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        g[static_cast<size_t>(i)] = std::exp(b * (lnPhi[i] - lnMax));
    Linear l;
    const auto throughZero = [&] {
        double gg = 0, gy = 0;
        for (qsizetype i = 0; i < n; ++i) {
            gg += g[static_cast<size_t>(i)] * g[static_cast<size_t>(i)];
            gy += g[static_cast<size_t>(i)] * y[i];
        }
        l.a = gg > 0 ? gy / gg : 0;
        l.c = 0;
        l.rising = l.a > 0;
    };
    if (freeC) {
        double gm = 0, ym = 0;
        for (qsizetype i = 0; i < n; ++i) {
            gm += g[static_cast<size_t>(i)];
            ym += y[i];
        }
        gm /= static_cast<double>(n);
        ym /= static_cast<double>(n);
        double sgg = 0, sgy = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const double dg = g[static_cast<size_t>(i)] - gm;
            sgg += dg * dg;
            sgy += dg * (y[i] - ym);
        }
        l.a = sgg > 0 ? sgy / sgg : 0;
        l.c = ym - l.a * gm;
        if (l.a <= 0) {
            // No rising curve at this exponent: the best is the mean.
            l.a = 0;
            l.c = ym;
            l.rising = false;
        } else if (l.c < 0) {
            throughZero();
            l.cClamped = true;
        }
    } else {
        throughZero();
    }
    double r = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double e = l.a * g[static_cast<size_t>(i)] + l.c - y[i];
        r += e * e;
    }
    l.residual = r;
    return l;
}

// The exponent of the least residual in [low, 1]: a grid, then a golden
// section between the grid's neighbours of its best point.
double bestExponent(const std::function<double(double)>& residual, double low) {
    constexpr int Steps = 100;
    const auto at = [&](int k) { return low * std::pow(1.0 / low, double(k) / Steps); };
    int best = 0;
    double bestValue = residual(at(0));
    for (int k = 1; k <= Steps; ++k)
        if (const double v = residual(at(k)); v < bestValue) {
            bestValue = v;
            best = k;
        }
    double lo = at(std::max(best - 1, 0)), hi = at(std::min(best + 1, Steps));
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double x1 = hi - ratio * (hi - lo), x2 = lo + ratio * (hi - lo);
    double f1 = residual(x1), f2 = residual(x2);
    for (int i = 0; i < 200 && hi - lo > 1e-15 * hi; ++i) {
        if (f1 <= f2) {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - ratio * (hi - lo);
            f1 = residual(x1);
        } else {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + ratio * (hi - lo);
            f2 = residual(x2);
        }
    }
    const double mid = (lo + hi) / 2;
    // An end of the range itself may be best.
    double chosen = mid, chosenValue = residual(mid);
    for (double end : {low, 1.0})
        if (const double v = residual(end); v < chosenValue) {
            chosen = end;
            chosenValue = v;
        }
    return chosen;
}

} // namespace

QString Fit::caption() const {
    return kind == FitKind::WorkPolynom ? groupCaption(DataGroup::WorkPolynom)
                                        : edit::equationCaption(equation());
}

QString Fit::unit() const {
    return kind == FitKind::WorkPolynom ? QStringLiteral("J/mm^3") : QStringLiteral("MPa");
}

EquationKind Fit::equation() const {
    switch (kind) {
    case FitKind::Polytropa:
        return EquationKind::Polytropa;
    case FitKind::Polynom3:
        return EquationKind::Polynom3;
    case FitKind::Polynom5:
        return EquationKind::Polynom5;
    case FitKind::Racionalni:
        return EquationKind::Racionalni;
    case FitKind::WorkPolynom:
        break;
    }
    return EquationKind::None;
}

void Fit::applyTo(Data& d) const {
    for (const Law& law : laws)
        for (qsizetype i = 0; i < law.columns.size(); ++i)
            if (const DataField* f = dataField(law.columns[i]); f && f->in(d))
                *f->in(d) = law.values[static_cast<size_t>(i)];
}

Data Fits::constants() const {
    Data d;
    d.fimax = fimax;
    d.fistr = fistr;
    for (const Fit& f : fits)
        if (f.made()) f.applyTo(d);
    return d;
}

bool Fits::anyMade() const {
    return std::any_of(fits.begin(), fits.end(), [](const Fit& f) { return f.made(); });
}

QStringList Fits::reasons() const {
    QStringList out;
    for (const Fit& f : fits)
        if (!f.made()) out << f.caption() + QStringLiteral(": ") + f.reason;
    return out;
}

ReadPoints readPoints(const QByteArray& bytes) {
    ReadPoints out;
    if (bytes.size() > MaxPointsFileSize) return {{}, QStringLiteral("Soubor je větší než 10 MiB.")};
    if (looksUtf16(bytes))
        return {{}, QStringLiteral("Soubor je v kódování UTF-16; uložte jej jako UTF-8 nebo Windows-1250.")};
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        return {{},
                QStringLiteral("Řádek %1: obsahuje nulový bajt (NUL), soubor není text.")
                    .arg(lineOfByte(bytes, nul))};
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = fromCp1250(bytes);
    if (text.startsWith(QChar(0xfeff))) text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    const QStringList lines = text.split(u'\n');
    QChar mark;                                // the file's decimal mark, once a number showed it
    QMap<double, std::pair<double, int>> seen; // φ -> σp and its line
    bool header = false;
    int pointLines = 0;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const int lineNo = static_cast<int>(n + 1);
        QString line = lines[n];
        if (const qsizetype hash = line.indexOf(u'#'); hash >= 0) line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty()) continue;
        const auto refuse = [&](const QString& why) {
            return ReadPoints{{}, QStringLiteral("Řádek %1: %2").arg(lineNo).arg(why)};
        };
        const QStringList fields = fieldsOf(line);
        // The decimal mark of this line, if its numbers show one.
        QChar lineMark;
        for (const QString& f : fields)
            for (QChar c : f)
                if (c == u',' || c == u'.') lineMark = c;
        if (!mark.isNull() && !lineMark.isNull() && lineMark != mark && (seen.size() > 0))
            return refuse(QStringLiteral("desetinná čárka i tečka v jednom souboru."));
        const QChar use = !mark.isNull() ? mark : (lineMark.isNull() ? QChar(u'.') : lineMark);
        const std::optional<double> phi = fields.size() == 2 ? numberOf(fields[0], use) : std::nullopt;
        const std::optional<double> sigma = fields.size() == 2 ? numberOf(fields[1], use) : std::nullopt;
        if (!phi || !sigma) {
            // One line of names before the first point is a header.
            if (!header && seen.isEmpty() &&
                std::any_of(line.begin(), line.end(), [](QChar c) { return c.isLetter(); })) {
                header = true;
                continue;
            }
            return refuse(QStringLiteral("očekávána dvě čísla (φ a σp), je zde „%1“.").arg(line.left(60)));
        }
        if (!lineMark.isNull()) mark = use;
        if (*phi <= 0) return refuse(QStringLiteral("φ musí být větší než 0."));
        if (*sigma <= 0) return refuse(QStringLiteral("σp musí být větší než 0."));
        ++pointLines;
        if (const auto it = seen.constFind(*phi); it != seen.cend()) {
            if (it->first != *sigma)
                return refuse(QStringLiteral("při φ = %1 je už jiné σp (řádek %2).")
                                  .arg(fields[0].trimmed())
                                  .arg(it->second));
            continue;
        }
        if (seen.size() >= MaxPoints) return refuse(QStringLiteral("více než 100 000 bodů."));
        seen.insert(*phi, {*sigma, lineNo});
    }
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        out.points.append({it.key(), it->first});
    if (out.points.isEmpty()) {
        out.refusal = QStringLiteral("Soubor neobsahuje žádný bod.");
    } else if (out.points.size() == 1) {
        out.refusal = pointLines > 1
                          ? QStringLiteral("Všech %1 bodů je stejných (řádek %2); pro proložení jsou "
                                           "potřeba alespoň 2 body s různým φ.")
                                .arg(pointLines)
                                .arg(seen.first().second)
                          : QStringLiteral("Soubor obsahuje jen jeden bod (řádek %1); pro proložení "
                                           "jsou potřeba alespoň 2 body s různým φ.")
                                .arg(seen.first().second);
        out.points.clear();
    }
    return out;
}

std::optional<Quality> quality(const QList<Point>& points, const std::function<double(double)>& model) {
    if (points.isEmpty()) return std::nullopt;
    Quality q;
    q.phiMin = points.first().phi;
    q.phiMax = points.last().phi;
    // Scaled to the largest value, so that squares of large stresses stay finite.
    double scale = 0, mean = 0;
    for (const Point& p : points)
        scale = std::max(scale, std::fabs(p.sigma));
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    for (const Point& p : points)
        mean += p.sigma / scale;
    const double n = static_cast<double>(points.size());
    mean /= n;
    double res = 0, tot = 0;
    for (const Point& p : points) {
        double v = 0;
        try {
            v = model(p.phi);
        } catch (const Error&) {
            return std::nullopt;
        }
        if (!std::isfinite(v)) return std::nullopt;
        const double dev = std::fabs(v - p.sigma);
        if (!std::isfinite(dev)) return std::nullopt;
        const double scaled = dev / scale, spread = p.sigma / scale - mean;
        res += scaled * scaled;
        tot += spread * spread;
        q.maxDeviation = std::max(q.maxDeviation, dev);
        if (p.sigma != 0)
            q.maxDeviationPercent = std::max(q.maxDeviationPercent, dev / std::fabs(p.sigma) * 100);
    }
    // A measured value has at most ten significant digits: a spread or a
    // residual below that is rounding.
    const double rounding = n * 1e-20;
    if (tot <= rounding)
        q.r2 = res <= rounding ? 1 : 0;
    else
        q.r2 = 1 - res / tot;
    if (!std::isfinite(q.r2) || !std::isfinite(q.maxDeviationPercent)) return std::nullopt;
    return q;
}

std::optional<std::vector<double>> powerFit(const QList<double>& x, const QList<double>& y, int first,
                                            int count) {
    if (x.isEmpty() || x.size() < count) return std::nullopt;
    double xs = 0, ys = 0;
    for (qsizetype i = 0; i < x.size(); ++i) {
        xs = std::max(xs, std::fabs(x[i]));
        ys = std::max(ys, std::fabs(y[i]));
    }
    if (!(xs > 0)) return std::nullopt;
    if (!(ys > 0)) ys = 1;
    Eigen::MatrixXd a(x.size(), count);
    Vector b(x.size());
    for (qsizetype i = 0; i < x.size(); ++i) {
        const double t = x[i] / xs;
        for (int j = 0; j < count; ++j)
            a(i, j) = std::pow(t, first + j);
        b(i) = y[i] / ys;
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr = a.colPivHouseholderQr();
    if (qr.rank() < count) return std::nullopt;
    const Vector q = qr.solve(b);
    std::vector<double> c(static_cast<size_t>(count));
    for (int j = 0; j < count; ++j) {
        // q·ys / xs^k, in steps that overflow only when the result does.
        double v = q(j) * ys;
        for (int k = 0; k < first + j; ++k)
            v /= xs;
        if (!std::isfinite(v)) return std::nullopt;
        c[static_cast<size_t>(j)] = v;
    }
    return c;
}

Fit fitPolytropa(const QList<Point>& points, const Options& o) {
    const qsizetype n = points.size();
    if (n < 2) return tooFew(FitKind::Polytropa, 2, n);
    Fit f;
    f.kind = FitKind::Polytropa;
    double scale = 0;
    for (const Point& p : points) {
        if (!(p.sigma > 0) || !(p.phi > 0)) {
            f.reason = QStringLiteral("φ i σp musí být větší než 0.");
            return f;
        }
        scale = std::max(scale, p.sigma);
    }
    // σ = a·φ^b + c with a > 0, 0 < b ≤ 1, c ≥ 0 (c: the initial yield
    // offset). For a fixed b the best a and c are a linear least-squares
    // problem with bounds, so only b is searched.
    QList<double> lnPhi, y;
    double lnMax = -INFINITY;
    for (const Point& p : points) {
        lnPhi << std::log(p.phi);
        y << p.sigma / scale;
        lnMax = std::max(lnMax, lnPhi.last());
    }
    constexpr double LowestB = 1e-4;
    const auto solve = [&](bool freeC) {
        const double b =
            bestExponent([&](double e) { return polytropaAt(e, lnPhi, lnMax, y, freeC).residual; }, LowestB);
        return std::pair{b, polytropaAt(b, lnPhi, lnMax, y, freeC)};
    };
    auto [b, best] = solve(false);
    const bool canFreeC = o.polytropaC && n >= 3;
    if (canFreeC) {
        const auto [bc, withC] = solve(true);
        // c only when it lowers the residual meaningfully: by a hundredth,
        // and by more than the rounding of the measured values (a millionth
        // of the mean stress in the root mean square).
        double mean = 0;
        for (double v : y)
            mean += v / static_cast<double>(n);
        const double rms0 = std::sqrt(best.residual / static_cast<double>(n));
        const double rms1 = std::sqrt(withC.residual / static_cast<double>(n));
        if (withC.rising && withC.residual < 0.99 * best.residual && rms0 - rms1 > 1e-6 * mean) {
            b = bc;
            best = withC;
        } else if (withC.cClamped && best.rising) {
            best.cClamped = true; // the data asked for a negative offset
        }
    }
    if (!best.rising || b <= LowestB * 1.001) {
        f.reason = QStringLiteral("naměřené σp s rostoucím φ neroste (exponent b by byl nejvýše 0,0001), "
                                  "Polytropa a·φ^b + c s a > 0 a b > 0 křivku nepopíše.");
        return f;
    }
    // The exponent to the last digits: Levenberg–Marquardt from the bounded
    // optimum, taken only when it converged inside the bounds and did better.
    const bool withC = best.c > 0;
    Vector x(withC ? 3 : 2);
    x(0) = best.a;
    x(1) = b;
    if (withC) x(2) = best.c;
    const auto residuals = [&](const Vector& p, Vector& r) {
        for (qsizetype i = 0; i < n; ++i)
            r(i) = p(0) * std::exp(p(1) * (lnPhi[i] - lnMax)) + (withC ? p(2) : 0.0) - y[i];
    };
    const Minimum polished = minimize(x, static_cast<int>(n), residuals);
    if (polished.converged && polished.x(0) > 0 && polished.x(1) > LowestB && polished.x(1) <= 1 &&
        (!withC || polished.x(2) >= 0)) {
        Vector r0(n), r1(n);
        residuals(x, r0);
        residuals(polished.x, r1);
        if (r1.squaredNorm() <= r0.squaredNorm()) {
            best.a = polished.x(0);
            b = polished.x(1);
            if (withC) best.c = polished.x(2);
        }
    }
    const double a = best.a * scale * std::exp(-b * lnMax);
    const double c = best.c * scale;
    if (b >= 1) f.notes << QStringLiteral("b = 1 (horní mez)");
    if (best.cClamped && c == 0) f.notes << QStringLiteral("c = 0 (dolní mez; křivka by chtěla záporné c)");
    // Its work law follows exactly: ∫₀^φ (a·x^b + c) dx.
    f.laws = {{false, columnsOf(DataGroup::Polytropa), {a, b, c}},
              {true, columnsOf(DataGroup::WorkPolytropa), {a / (b + 1) / 1000, b + 1, c / 1000}}};
    return judged(f, points,
                  [](const Data& d, double phi) { return flowOf(d, EquationKind::Polytropa, phi); });
}

Fit fitPolynomial(const QList<Point>& points, FitKind kind) {
    const int count = kind == FitKind::Polynom3 ? 4 : 6;
    if (points.size() < count) return tooFew(kind, count, points.size());
    Fit f;
    f.kind = kind;
    QList<double> phi, sigma;
    for (const Point& p : points) {
        phi << p.phi;
        sigma << p.sigma;
    }
    const std::optional<std::vector<double>> c = powerFit(phi, sigma, 0, count);
    if (!c) {
        f.reason = QStringLiteral("body neurčují koeficienty jednoznačně nebo vycházejí mimo rozsah čísel.");
        return f;
    }
    f.laws = {{false, columnsOf(kind == FitKind::Polynom3 ? DataGroup::Polynom3 : DataGroup::Polynom5), *c}};
    const EquationKind e = f.equation();
    return judged(f, points, [e](const Data& d, double x) { return flowOf(d, e, x); });
}

Fit fitRational(const QList<Point>& points, const Options& o, double phiMax) {
    // σ = F·4000/(π·D²): with a constant D = √(4000/π) a linear fit of F.
    const int fCount = std::clamp(o.fDegree, 0, 9) + 1, dCount = std::clamp(o.dDegree, 0, 9) + 1;
    const qsizetype n = points.size();
    const int needed = std::max(fCount + dCount - 1, fCount);
    if (n < needed) return tooFew(FitKind::Racionalni, needed, n);
    Fit f;
    f.kind = FitKind::Racionalni;
    QList<double> phi, sigma;
    double scale = 0;
    for (const Point& p : points) {
        phi << p.phi;
        sigma << p.sigma;
        scale = std::max(scale, std::fabs(p.sigma));
    }
    const std::optional<std::vector<double>> linear = powerFit(phi, sigma, 0, fCount);
    if (!linear) {
        f.reason =
            QStringLiteral("body neurčují koeficienty F jednoznačně nebo vycházejí mimo rozsah čísel.");
        return f;
    }
    const double d0 = std::sqrt(4000.0 / Pi);
    std::vector<double> fc(10, 0.0), dc(10, 0.0);
    std::copy(linear->begin(), linear->end(), fc.begin());
    dc[0] = d0;
    if (dCount > 1) {
        // F and D together on stresses scaled to at most 1 (F scales with them).
        Vector x = Vector::Zero(fCount + dCount);
        for (int j = 0; j < fCount; ++j)
            x(j) = (*linear)[static_cast<size_t>(j)] / scale;
        x(fCount) = d0;
        const auto residuals = [&](const Vector& p, Vector& res) {
            for (qsizetype i = 0; i < n; ++i) {
                double fv = 0, dv = 0;
                for (int j = 0; j < fCount; ++j)
                    fv += p(j) * std::pow(phi[i], j);
                for (int j = 0; j < dCount; ++j)
                    dv += p(fCount + j) * std::pow(phi[i], j);
                res(i) = fv * 4000 / (Pi * dv * dv) - sigma[i] / scale;
            }
        };
        const Minimum m = minimize(x, static_cast<int>(n), residuals);
        if (!m.converged) {
            f.status = FitStatus::NotConverged;
            f.reason = QStringLiteral("výpočet F a D nekonvergoval (Levenberg–Marquardt nenašel minimum); "
                                      "zkuste nižší stupeň D.");
            return f;
        }
        // Never a D with a zero in 0 < φ ≤ φ(max): then D stays constant.
        bool zero = false;
        double previous = 0;
        for (int k = 0; k <= 1000 && !zero; ++k) {
            const double x1 = phiMax * std::max(k, 1) / 1000.0;
            double dv = 0;
            for (int j = 0; j < dCount; ++j)
                dv += m.x(fCount + j) * std::pow(x1, j);
            zero = !std::isfinite(dv) || dv == 0 || (k > 0 && (dv > 0) != (previous > 0));
            previous = dv;
        }
        if (zero) {
            f.notes << QStringLiteral("D konstantní (proložené D by mělo v rozsahu φ nulu)");
        } else {
            for (int j = 0; j < fCount; ++j)
                fc[static_cast<size_t>(j)] = m.x(j) * scale;
            for (int j = 0; j < dCount; ++j)
                dc[static_cast<size_t>(j)] = m.x(fCount + j);
        }
    }
    f.laws = {{false, columnsOf(DataGroup::PolynomF), fc}, {false, columnsOf(DataGroup::PolynomD), dc}};
    return judged(f, points, [](const Data& d, double x) { return flowOf(d, EquationKind::Racionalni, x); });
}

Fit fitWork(const QList<Point>& points, const Options& o, const Fit& polytropa) {
    // Aj = ∫₀^φ σ dφ / 1000 over the measured points, fitted with no constant
    // term, its first power in ppn_0.
    const int degree = std::clamp(o.workDegree, 1, 9);
    const qsizetype n = points.size();
    const int needed = std::max(degree, 2);
    if (n < needed) return tooFew(FitKind::WorkPolynom, needed, n);
    Fit f;
    f.kind = FitKind::WorkPolynom;
    for (const Point& p : points)
        if (!(p.sigma > 0) || !(p.phi > 0)) {
            f.reason = QStringLiteral("φ i σp musí být větší než 0.");
            return f;
        }
    // Below the first point nothing was measured. The fitted Polytropa is the
    // curve's own continuation there (a > 0, b > 0, c ≥ 0: never a negative
    // work); without one the stress is taken as held at its first value,
    // which bounds the work of a hardening curve from above and stays finite.
    const Point& first = points.first();
    double integral = first.sigma * first.phi;
    if (polytropa.made()) {
        const std::vector<double>& c = polytropa.laws.first().values; // a, b, c
        integral = c[0] * std::pow(first.phi, c[1] + 1) / (c[1] + 1) + c[2] * first.phi;
    }
    QList<double> phi, work;
    phi << first.phi;
    work << integral / 1000;
    for (qsizetype i = 1; i < n; ++i) {
        integral += (points[i].sigma / 2 + points[i - 1].sigma / 2) * (points[i].phi - points[i - 1].phi);
        phi << points[i].phi;
        work << integral / 1000;
    }
    const std::optional<std::vector<double>> c = powerFit(phi, work, 1, degree);
    if (!c) {
        f.reason = QStringLiteral("body neurčují koeficienty jednoznačně nebo vycházejí mimo rozsah čísel.");
        return f;
    }
    std::vector<double> ppn(10, 0.0);
    ppn[0] = (*c)[0];
    for (int i = 2; i <= degree; ++i)
        ppn[static_cast<size_t>(i)] = (*c)[static_cast<size_t>(i - 1)];
    if (ppn[0] == 0) {
        f.reason = QStringLiteral("koeficient první mocniny vychází 0, zákon by se nepoužil.");
        return f;
    }
    f.laws = {{true, columnsOf(DataGroup::WorkPolynom), ppn}};
    QList<Point> workPoints;
    for (qsizetype i = 0; i < n; ++i)
        workPoints.append({phi[i], work[i]});
    return judged(f, workPoints, [](const Data& d, double x) { return SpecificWork(d, x); });
}

Fits fitAll(const QList<Point>& points, const Options& o) {
    Fits r;
    r.fimax = o.phiMax.value_or(points.isEmpty() ? 0 : points.last().phi);
    r.fistr = o.phiStr.value_or(0);
    if (points.size() < 2) {
        r.refusal = QStringLiteral("Pro proložení jsou potřeba alespoň 2 body s různým φ.");
        return r;
    }
    const Fit polytropa = fitPolytropa(points, o);
    r.fits = {polytropa, fitPolynomial(points, FitKind::Polynom3), fitPolynomial(points, FitKind::Polynom5),
              fitRational(points, o, r.fimax), fitWork(points, o, polytropa)};
    return r;
}

} // namespace prolis::fit
