#pragma once
// Constants from a measured flow curve: the points (φ, σp) read from a text
// file, and one least-squares fit per law (the four flow-stress equations and
// the polynomial work law), each judged through the flow-stress model as it
// evaluates the stored constants. A fit that cannot be made says why; no fit
// ever gives a number that is not finite.
#include "Data.h"
#include "FlowModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace prolis::fit {

struct Point {
    double phi, sigma;
};

// The points of a file: one per line (CR, LF or CR LF), φ and σp separated
// by a tab, a semicolon or blanks, with a decimal comma or point (one of them
// in a file); an optional header line; "#" begins a comment. UTF-8 or
// Windows-1250 (UTF-16 and NUL bytes are refused by name). φ and σp must be
// above 0, a repeated point counts once, and a curve needs two different φ.
// A refusal names the line and the reason.
struct ReadPoints {
    QList<Point> points;
    QString refusal;
};
ReadPoints readPoints(const QByteArray& bytes);
inline constexpr qint64 MaxPointsFileSize = 10 * 1024 * 1024;
inline constexpr int MaxPoints = 100000;

struct Options {
    std::optional<double> phiMax; // default: the largest measured φ
    std::optional<double> phiStr; // no default
    bool polytropaC = true;       // c of Polytropa free (kept 0 when it does not help)
    int fDegree = 5;              // of F in the rational function
    int dDegree = 0;              // of D (0: constant, √(4000/π))
    int workDegree = 5;           // of the polynomial work law (1..9)
};

enum class FitKind { Polytropa, Polynom3, Polynom5, Racionalni, WorkPolynom };

struct Quality {
    double r2 = 0;
    double maxDeviation = 0;        // in the fit's unit (MPa; J/mm^3 for the work law)
    double maxDeviationPercent = 0; // of the measured value
    double phiMin = 0, phiMax = 0;
};

// The constants one law of a fit sets in a material record, by column.
struct Law {
    bool work = false; // a work law (J/mm^3) rather than a flow stress (MPa)
    QStringList columns;
    std::vector<double> values;
};

enum class FitStatus { Made, TooFewPoints, Refused, NotConverged };

struct Fit {
    FitKind kind = FitKind::Polytropa;
    FitStatus status = FitStatus::Refused;
    QString reason; // why it was not made (a Czech sentence after the caption)
    Quality quality;
    QStringList notes; // the bounds the constants reached, a form fallen back to
    QList<Law> laws;

    bool made() const { return status == FitStatus::Made; }
    QString caption() const;
    QString unit() const;          // "MPa", "J/mm^3"
    EquationKind equation() const; // None for the work law
    void applyTo(Data& d) const;   // its constants into a record
};

struct Fits {
    QList<Fit> fits; // one per kind, in the order of FitKind
    double fimax = 0, fistr = 0;
    QString refusal; // set when nothing at all can be fitted

    const Fit& of(FitKind kind) const { return fits[static_cast<int>(kind)]; }
    // φ(max), φ(str) and the constants of every fit made.
    Data constants() const;
    bool anyMade() const;
    // "Polytropa: …" for every fit not made.
    QStringList reasons() const;
};

// One function per law. The work law starts its integral from the fitted
// Polytropa when there is one.
Fit fitPolytropa(const QList<Point>& points, const Options& options);
Fit fitPolynomial(const QList<Point>& points, FitKind kind); // Polynom3, Polynom5
Fit fitRational(const QList<Point>& points, const Options& options, double phiMax);
Fit fitWork(const QList<Point>& points, const Options& options, const Fit& polytropa);
Fits fitAll(const QList<Point>& points, const Options& options);

// Least squares of y against Σ c_j x^(first + j), j < count (QR on a basis
// scaled in x and y); nothing when the points do not determine the
// coefficients or they leave the doubles.
std::optional<std::vector<double>> powerFit(const QList<double>& x, const QList<double>& y, int first,
                                            int count);

// R², the largest deviations and the φ range of `model` against the points;
// nothing when the model has no finite value at one of them. A curve
// without variance is judged by its residual: R² 1 when that is at the
// rounding level of the values.
std::optional<Quality> quality(const QList<Point>& points, const std::function<double(double)>& model);

} // namespace prolis::fit
