#pragma once
// Constants from a measured flow curve: the points (φ, σp) read from a text
// file, and the least-squares fits of the four flow-stress equations and of
// both work laws, each judged through the flow-stress model as it evaluates
// the stored constants.
#include "Data.h"
#include "FlowModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace prolis::fit {

struct Point {
    double phi, sigma;
};

// The points of a file: one per line, φ and σp separated by a tab, a
// semicolon or blanks, with a decimal comma or point (one of them in a
// file); an optional header line; "#" begins a comment. UTF-8 or
// Windows-1250. A refusal names the line and the reason.
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

struct Quality {
    double r2 = 0;
    double maxDeviation = 0;        // MPa (for the work law J/mm^3)
    double maxDeviationPercent = 0; // of the measured value
    double phiMin = 0, phiMax = 0;
    bool fitted = false; // false: too few points for it
};

struct Result {
    Data constants; // every fitted constant; fimax and fistr as given
    Quality polytropa, polynom3, polynom5, racionalni, work;
    QString refusal; // set when nothing could be fitted
};

Result fitAll(const QList<Point>& points, const Options& options);

// R², the largest deviations and the φ range of `model` against the points.
Quality quality(const QList<Point>& points, const std::function<double(double)>& model);

} // namespace prolis::fit
