#include "CurveFit.h"

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

Vector minimize(Vector start, int values, std::function<void(const Vector&, Vector&)> f) {
    Residuals functor{static_cast<int>(start.size()), values, std::move(f)};
    Eigen::NumericalDiff<Residuals> diff(functor);
    Eigen::LevenbergMarquardt<Eigen::NumericalDiff<Residuals>> lm(diff);
    lm.parameters.maxfev = 4000;
    lm.parameters.xtol = 1e-15;
    lm.parameters.ftol = 1e-15;
    lm.minimize(start);
    return start;
}

double sumOfSquares(const Vector& r) {
    return r.squaredNorm();
}

// Least squares of y against Σ c_j x^(first + j), j < count, on the scaled
// basis t = x / scale (solved by QR, not by normal equations).
std::vector<double> powerFit(const QList<double>& x, const QList<double>& y, int first, int count) {
    const double scale = *std::max_element(x.begin(), x.end());
    Eigen::MatrixXd a(x.size(), count);
    Vector b(x.size());
    for (qsizetype i = 0; i < x.size(); ++i) {
        const double t = x[i] / scale;
        for (int j = 0; j < count; ++j)
            a(i, j) = std::pow(t, first + j);
        b(i) = y[i];
    }
    const Vector q = a.colPivHouseholderQr().solve(b);
    std::vector<double> c(static_cast<size_t>(count));
    for (int j = 0; j < count; ++j)
        c[static_cast<size_t>(j)] = q(j) / std::pow(scale, first + j);
    return c;
}

double evaluate(const std::function<double(double)>& model, double phi) {
    try {
        return model(phi);
    } catch (const Error&) {
        return std::numeric_limits<double>::quiet_NaN();
    }
}

} // namespace

ReadPoints readPoints(const QByteArray& bytes) {
    ReadPoints out;
    if (bytes.size() > MaxPointsFileSize) return {{}, QStringLiteral("Soubor je větší než 10 MiB.")};
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = fromCp1250(bytes);
    if (text.startsWith(QChar(0xfeff))) text.remove(0, 1);
    const QStringList lines = text.split(u'\n');
    QChar mark;                                // the file's decimal mark, once a number showed it
    QMap<double, std::pair<double, int>> seen; // φ -> σp and its line
    bool header = false;
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
    if (out.points.isEmpty()) out.refusal = QStringLiteral("Soubor neobsahuje žádný bod.");
    return out;
}

Quality quality(const QList<Point>& points, const std::function<double(double)>& model) {
    Quality q;
    q.fitted = true;
    q.phiMin = points.first().phi;
    q.phiMax = points.last().phi;
    double mean = 0;
    for (const Point& p : points)
        mean += p.sigma;
    mean /= static_cast<double>(points.size());
    double res = 0, tot = 0;
    for (const Point& p : points) {
        const double v = evaluate(model, p.phi);
        const double dev =
            std::isfinite(v) ? std::fabs(v - p.sigma) : std::numeric_limits<double>::infinity();
        res += dev * dev;
        tot += (p.sigma - mean) * (p.sigma - mean);
        q.maxDeviation = std::max(q.maxDeviation, dev);
        if (p.sigma != 0)
            q.maxDeviationPercent = std::max(q.maxDeviationPercent, dev / std::fabs(p.sigma) * 100);
    }
    q.r2 = tot > 0 ? 1 - res / tot : (res == 0 ? 1 : 0);
    if (!std::isfinite(q.r2)) q.r2 = 0;
    if (!std::isfinite(q.maxDeviation))
        q.maxDeviation = q.maxDeviationPercent = -1; // the model has no value somewhere
    return q;
}

Result fitAll(const QList<Point>& points, const Options& o) {
    Result r;
    Data& d = r.constants;
    const int n = static_cast<int>(points.size());
    QList<double> phi, sigma;
    for (const Point& p : points) {
        phi << p.phi;
        sigma << p.sigma;
    }
    d.fimax = o.phiMax.value_or(points.isEmpty() ? 0 : points.last().phi);
    d.fistr = o.phiStr.value_or(0);
    if (n < 2) {
        r.refusal = QStringLiteral("Pro proložení jsou potřeba alespoň 2 body.");
        return r;
    }
    const auto model = [&d](EquationKind k) { return [&d, k](double x) { return FlowStress(d, k, x); }; };

    // Polytropa: Hollomon by a line through ln σ over ln φ, then c free.
    const bool positive = std::all_of(sigma.begin(), sigma.end(), [](double s) { return s > 0; });
    if (positive) {
        QList<double> lx, ly;
        for (const Point& p : points) {
            lx << std::log(p.phi);
            ly << std::log(p.sigma);
        }
        Eigen::MatrixXd a(n, 2);
        Vector b(n);
        for (int i = 0; i < n; ++i) {
            a(i, 0) = 1;
            a(i, 1) = lx[i];
            b(i) = ly[i];
        }
        const Vector line = a.colPivHouseholderQr().solve(b);
        Vector x(3);
        x << std::exp(line(0)), line(1), 0.0;
        const auto residuals = [&](const Vector& p, Vector& res) {
            for (int i = 0; i < n; ++i)
                res(i) = p(0) * std::pow(phi[i], p(1)) + p(2) - sigma[i];
        };
        Vector start = x;
        Vector r0(n), r1(n);
        // With c = 0, on σ itself from the line's start.
        const Vector noC = minimize(start.head(2), n, [&](const Vector& p, Vector& res) {
            for (int i = 0; i < n; ++i)
                res(i) = p(0) * std::pow(phi[i], p(1)) - sigma[i];
        });
        Vector best(3);
        best << noC(0), noC(1), 0.0;
        residuals(best, r0);
        if (o.polytropaC && n >= 3) {
            const Vector withC = minimize(best, n, residuals);
            residuals(withC, r1);
            // c only when it lowers the residual meaningfully: by a hundredth,
            // and by more than the rounding of the measured values (a
            // millionth of the mean stress in the root mean square).
            double mean = 0;
            for (double s : sigma)
                mean += std::fabs(s) / n;
            const double rms0 = std::sqrt(sumOfSquares(r0) / n), rms1 = std::sqrt(sumOfSquares(r1) / n);
            if (std::isfinite(rms1) && sumOfSquares(r1) < 0.99 * sumOfSquares(r0) &&
                rms0 - rms1 > 1e-6 * mean)
                best = withC;
        }
        d.pol_a = best(0);
        d.pol_b = best(1);
        d.pol_c = best(2);
        r.polytropa = quality(points, model(EquationKind::Polytropa));
        // Its work law follows exactly.
        d.ppol_a = d.pol_a / (d.pol_b + 1) / 1000;
        d.ppol_b = d.pol_b + 1;
        d.ppol_c = d.pol_c / 1000;
    }

    // The polynomials in φ.
    if (n >= 4) {
        const std::vector<double> c = powerFit(phi, sigma, 0, 4);
        std::copy(c.begin(), c.end(), d.pn3.begin());
        r.polynom3 = quality(points, model(EquationKind::Polynom3));
    }
    if (n >= 6) {
        const std::vector<double> c = powerFit(phi, sigma, 0, 6);
        std::copy(c.begin(), c.end(), d.pn5.begin());
        r.polynom5 = quality(points, model(EquationKind::Polynom5));
    }

    // The rational function σ = F·4000/(π·D²): with a constant D a linear fit of F.
    const int fCount = std::clamp(o.fDegree, 0, 9) + 1, dCount = std::clamp(o.dDegree, 0, 9) + 1;
    if (n >= fCount + dCount - 1 && n >= fCount) {
        const double d0 = std::sqrt(4000.0 / 3.1415926535897932385);
        const std::vector<double> f = powerFit(phi, sigma, 0, fCount);
        std::copy(f.begin(), f.end(), d.rlff.begin());
        d.rlfd.fill(0);
        d.rlfd[0] = d0;
        if (dCount > 1) {
            Vector x = Vector::Zero(fCount + dCount);
            for (int j = 0; j < fCount; ++j)
                x(j) = f[static_cast<size_t>(j)];
            x(fCount) = d0;
            const auto residuals = [&](const Vector& p, Vector& res) {
                for (int i = 0; i < n; ++i) {
                    double fv = 0, dv = 0;
                    for (int j = 0; j < fCount; ++j)
                        fv += p(j) * std::pow(phi[i], j);
                    for (int j = 0; j < dCount; ++j)
                        dv += p(fCount + j) * std::pow(phi[i], j);
                    res(i) = fv * 4000 / (3.1415926535897932385 * dv * dv) - sigma[i];
                }
            };
            const Vector p = minimize(x, n, residuals);
            // Never a D with a zero in 0 < φ ≤ φ(max): then D stays constant.
            bool zero = false;
            double previous = 0;
            for (int k = 0; k <= 1000 && !zero; ++k) {
                const double x1 = d.fimax * std::max(k, 1) / 1000.0;
                double dv = 0;
                for (int j = 0; j < dCount; ++j)
                    dv += p(fCount + j) * std::pow(x1, j);
                zero = !std::isfinite(dv) || dv == 0 || (k > 0 && (dv > 0) != (previous > 0));
                previous = dv;
            }
            if (!zero) {
                for (int j = 0; j < fCount; ++j)
                    d.rlff[static_cast<size_t>(j)] = p(j);
                for (int j = 0; j < dCount; ++j)
                    d.rlfd[static_cast<size_t>(j)] = p(fCount + j);
            }
        }
        r.racionalni = quality(points, model(EquationKind::Racionalni));
    }

    // The polynomial work law: Aj = ∫₀^φ σ dφ / 1000 over the measured points
    // (the start below the first point from the Hollomon curve), fitted with
    // no constant term, its first power in ppn_0.
    const int degree = std::clamp(o.workDegree, 1, 9);
    if (n >= degree && positive) {
        QList<double> work;
        const double b = d.pol_c == 0 ? d.pol_b : std::log(sigma[1] / sigma[0]) / std::log(phi[1] / phi[0]);
        double integral = sigma[0] * phi[0] / (b + 1); // ∫₀^φ1 of a·φ^b through the first point
        work << integral / 1000;
        for (int i = 1; i < n; ++i) {
            integral += (sigma[i] + sigma[i - 1]) / 2 * (phi[i] - phi[i - 1]);
            work << integral / 1000;
        }
        const std::vector<double> c = powerFit(phi, work, 1, degree);
        d.ppn.fill(0);
        d.ppn[0] = c[0];
        for (int i = 2; i <= degree; ++i)
            d.ppn[static_cast<size_t>(i)] = c[static_cast<size_t>(i - 1)];
        QList<Point> workPoints;
        for (int i = 0; i < n; ++i)
            workPoints.append({phi[i], work[i]});
        r.work = quality(workPoints, [&d](double x) { return SpecificWork(d, x); });
    }
    return r;
}

} // namespace prolis::fit
