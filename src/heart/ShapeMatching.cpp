#include "heart/ShapeMatching.h"

#include <cmath>
#include <cstddef>

#include "geometry/ConsoleLog.h"

namespace vantrel {
namespace {

// The rotation angle used when the two diagonal elements are (nearly) equal: pi/4
// as the stored double the routine has always used.
const double kQuarterTurn = 0.7853981633974475;
const int kMaxJacobiRotations = 5;
const double kOffDiagonalTolerance = 1e-6;
const double kEqualDiagonalTolerance = 0.0001;
const double kSingularDeterminant = 1e-7;

void SetIdentity3x3(double* a) {
    for (int k = 0; k < 9; ++k) a[k] = 0.0;
    a[0] = a[4] = a[8] = 1.0;
}

void Transpose3x3(const double* a, double* out) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out[3 * i + j] = a[3 * j + i];
    }
}

double Determinant3x3(const double* a) {
    return a[0] * (a[4] * a[8] - a[5] * a[7]) - a[1] * (a[3] * a[8] - a[5] * a[6]) +
           a[2] * (a[3] * a[7] - a[4] * a[6]);
}

void LogMatrix3x3(const double* a) {
    for (int i = 0; i < 3; ++i) {
        ConsoleLog("%f %f %f \n", a[3 * i], a[3 * i + 1], a[3 * i + 2]);
    }
}

double Component(const Vector3& v, int k) {
    return k == 0 ? v.x : (k == 1 ? v.y : v.z);
}

}  // namespace

void Multiply3x3(const double* a, const double* b, double* out) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k) sum += a[3 * i + k] * b[3 * k + j];
            out[3 * i + j] = sum;
        }
    }
}

void MultiplyInPlace3x3(double* a, const double* b) {
    double product[9];
    Multiply3x3(a, b, product);
    for (int k = 0; k < 9; ++k) a[k] = product[k];
}

bool Invert3x3(double* a) {
    const double det = Determinant3x3(a);
    if (std::fabs(det) < kSingularDeterminant) return false;
    double inverse[9];
    inverse[0] = (a[4] * a[8] - a[5] * a[7]) / det;
    inverse[1] = -(a[1] * a[8] - a[2] * a[7]) / det;
    inverse[2] = (a[1] * a[5] - a[2] * a[4]) / det;
    inverse[3] = -(a[3] * a[8] - a[5] * a[6]) / det;
    inverse[4] = (a[0] * a[8] - a[2] * a[6]) / det;
    inverse[5] = -(a[0] * a[5] - a[2] * a[3]) / det;
    inverse[6] = (a[3] * a[7] - a[4] * a[6]) / det;
    inverse[7] = -(a[0] * a[7] - a[1] * a[6]) / det;
    inverse[8] = (a[0] * a[4] - a[1] * a[3]) / det;
    for (int k = 0; k < 9; ++k) a[k] = inverse[k];
    return true;
}

void JacobiDiagonalize3x3(double* a, double* v) {
    SetIdentity3x3(v);
    for (int rotation = 0; rotation < kMaxJacobiRotations; ++rotation) {
        int pi = 0, pj = 1;
        double largest = std::fabs(a[1]);
        for (int i = 0; i < 3; ++i) {
            for (int j = i + 1; j < 3; ++j) {
                if (std::fabs(a[3 * i + j]) > largest) {
                    largest = std::fabs(a[3 * i + j]);
                    pi = i;
                    pj = j;
                }
            }
        }
        if (largest <= kOffDiagonalTolerance) break;

        const double aii = a[3 * pi + pi];
        const double ajj = a[3 * pj + pj];
        const double aij = a[3 * pi + pj];
        const double theta = std::fabs(aii - ajj) <= kEqualDiagonalTolerance
                                 ? kQuarterTurn
                                 : 0.5 * std::atan(-2.0 * aij / (aii - ajj));
        // +sin at (i, j) and -sin at (j, i): with this sign J^T a J has a zero at (i, j).
        double j[9];
        SetIdentity3x3(j);
        j[3 * pi + pi] = std::cos(theta);
        j[3 * pj + pj] = std::cos(theta);
        j[3 * pi + pj] = std::sin(theta);
        j[3 * pj + pi] = -std::sin(theta);

        MultiplyInPlace3x3(v, j);
        double jt[9], jtA[9];
        Transpose3x3(j, jt);
        Multiply3x3(jt, a, jtA);
        Multiply3x3(jtA, j, a);
    }
}

bool ShapeMatchRotation(const std::vector<MeshVertex>& rest, const std::vector<MeshVertex>& current,
                        Matrix4& rotation, Vector3& restCentre, Vector3& currentCentre) {
    if (rest.empty() || rest.size() != current.size()) {
        ConsoleLog("shape matching needs two equally long, non-empty vertex arrays (%zu and %zu)\n",
                   rest.size(), current.size());
        return false;
    }
    ConsoleLog("start calculation for meshless deformation's rotation!!\n");

    const std::size_t n = rest.size();
    Vector3 restSum, currentSum;
    for (std::size_t i = 0; i < n; ++i) {
        restSum += rest[i].position;
        currentSum += current[i].position;
    }
    const Vector3 x0cm = restSum / static_cast<double>(n);
    const Vector3 xcm = currentSum / static_cast<double>(n);
    restCentre = x0cm;
    currentCentre = xcm;
    ConsoleLog("xcm  ");
    ConsoleLog("%f %f %f\n", xcm.x, xcm.y, xcm.z);
    ConsoleLog("x0cm  ");
    ConsoleLog("%f %f %f\n", x0cm.x, x0cm.y, x0cm.z);

    double apq[9] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (std::size_t i = 0; i < n; ++i) {
        const Vector3 q = rest[i].position - x0cm;
        const Vector3 p = current[i].position - xcm;
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) apq[3 * r + c] += Component(q, r) * Component(p, c);
        }
    }
    const double weight = 1.0 / static_cast<double>(n);
    for (double& element : apq) element = weight * element;
    ConsoleLog("-------------------------\nApq\n");
    LogMatrix3x3(apq);

    double apqT[9], ata[9];
    Transpose3x3(apq, apqT);
    Multiply3x3(apqT, apq, ata);
    ConsoleLog("-------------------------\nAt * A\n");
    LogMatrix3x3(ata);

    double v[9];
    JacobiDiagonalize3x3(ata, v);
    ConsoleLog("diagonalised At * A\n");
    LogMatrix3x3(ata);

    double rootDiagonal[9];
    SetIdentity3x3(rootDiagonal);
    for (int k = 0; k < 3; ++k) rootDiagonal[4 * k] = std::sqrt(std::fabs(ata[4 * k]));
    double vT[9], vRoot[9], s[9];
    Transpose3x3(v, vT);
    Multiply3x3(v, rootDiagonal, vRoot);
    Multiply3x3(vRoot, vT, s);
    double sSquared[9];
    Multiply3x3(s, s, sSquared);
    ConsoleLog("rtAt * rtAt \n");
    LogMatrix3x3(sSquared);

    if (!Invert3x3(s)) ConsoleLog("system couldn't invert matrix\n");
    double r[9];
    Multiply3x3(apq, s, r);
    ConsoleLog("R  det %f\n", Determinant3x3(r));
    LogMatrix3x3(r);

    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) rotation.At(row, column) = r[3 * row + column];
    }
    return true;
}

}  // namespace vantrel
