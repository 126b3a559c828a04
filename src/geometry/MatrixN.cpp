#include "geometry/MatrixN.h"

#include <cmath>
#include <utility>

namespace vantrel {

namespace {

// Rows whose largest element, and pivots whose magnitude, fall below this are
// treated as zero by the LU factorisation.
constexpr double kTinyPivot = 1e-11;

// Copies the (n-1) x (n-1) minor of a without row skipRow and column skipColumn.
void CopyMinor(const double* a, int n, int skipRow, int skipColumn, double* minor) {
    int k = 0;
    for (int i = 0; i < n; ++i) {
        if (i == skipRow) {
            continue;
        }
        for (int j = 0; j < n; ++j) {
            if (j != skipColumn) {
                minor[k++] = a[i * n + j];
            }
        }
    }
}

double Sign(int i) {
    return (i % 2 == 0) ? 1.0 : -1.0;
}

}  // namespace

double DeterminantN(const double* a, int n) {
    if (n < 1) {
        return 0.0;
    }
    if (n == 1) {
        return a[0];
    }
    if (n == 2) {
        return a[0] * a[3] - a[2] * a[1];
    }
    if (n == 3) {
        return a[0] * a[4] * a[8] + a[1] * a[5] * a[6] + a[2] * a[3] * a[7] - a[2] * a[4] * a[6] -
               a[0] * a[5] * a[7] - a[1] * a[3] * a[8];
    }
    std::vector<double> minor(static_cast<std::size_t>(n - 1) * (n - 1));
    double determinant = 0.0;
    for (int i = 0; i < n; ++i) {
        CopyMinor(a, n, i, 0, minor.data());
        determinant += Sign(i) * a[i * n] * DeterminantN(minor.data(), n - 1);
    }
    return determinant;
}

bool InverseN(const double* a, double* out, int n) {
    if (n < 1) {
        return false;
    }
    if (n == 1) {
        if (a[0] == 0.0) {
            return false;
        }
        out[0] = 1.0 / a[0];
        return true;
    }
    if (n == 2) {
        const double determinant = a[0] * a[3] - a[1] * a[2];
        if (determinant == 0.0) {
            return false;
        }
        out[0] = a[3] / determinant;
        out[1] = -a[1] / determinant;
        out[2] = -a[2] / determinant;
        out[3] = a[0] / determinant;
        return true;
    }
    const std::size_t size = static_cast<std::size_t>(n);
    std::vector<double> cofactors(size * size);
    std::vector<double> minor((size - 1) * (size - 1));
    double determinant = 0.0;
    for (int i = 0; i < n; ++i) {
        CopyMinor(a, n, i, 0, minor.data());
        cofactors[i * n] = Sign(i) * DeterminantN(minor.data(), n - 1);
        determinant += a[i * n] * cofactors[i * n];
    }
    if (determinant == 0.0) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 1; j < n; ++j) {
            CopyMinor(a, n, i, j, minor.data());
            cofactors[i * n + j] = Sign(i + j) * DeterminantN(minor.data(), n - 1);
        }
    }
    // The inverse is the adjugate (transposed cofactor matrix) over the determinant.
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            out[j * n + i] = cofactors[i * n + j] / determinant;
        }
    }
    return true;
}

void MultiplyMatVecN(const double* a, const double* x, double* out, int n) {
    for (int i = 0; i < n; ++i) {
        out[i] = 0.0;
    }
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            out[i] += a[i * n + j] * x[j];
        }
    }
}

double DecomposeLU(int n, double* a, int* perm) {
    // The order is filled before anything can stop the factorisation, so a
    // caller that goes on to substitute never reads an unset row index.
    for (int i = 0; i < n; ++i) {
        perm[i] = i;
    }
    std::vector<double> rowScale(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (int i = 0; i < n; ++i) {
        double largest = 0.0;
        for (int j = 0; j < n; ++j) {
            const double magnitude = std::fabs(a[i * n + j]);
            if (magnitude > largest) {
                largest = magnitude;
            }
        }
        if (largest < kTinyPivot) {
            return 0.0;
        }
        rowScale[i] = 1.0 / largest;
    }
    double determinant = 1.0;
    for (int k = 0; k < n; ++k) {
        // Scaled partial pivoting: compare each candidate relative to its own row
        // size so that a row of large numbers does not win just by its scale.
        int pivotIndex = k;
        double best = -1.0;
        for (int i = k; i < n; ++i) {
            const double weight = std::fabs(a[perm[i] * n + k]) * rowScale[perm[i]];
            if (weight > best) {
                best = weight;
                pivotIndex = i;
            }
        }
        if (pivotIndex != k) {
            std::swap(perm[k], perm[pivotIndex]);
            determinant = -determinant;
        }
        const double* pivotRow = a + perm[k] * n;
        const double pivot = pivotRow[k];
        determinant *= pivot;
        if (std::fabs(pivot) < kTinyPivot) {
            return determinant;
        }
        for (int i = k + 1; i < n; ++i) {
            double* row = a + perm[i] * n;
            const double multiplier = row[k] / pivot;
            row[k] = multiplier;
            for (int j = k + 1; j < n; ++j) {
                row[j] -= multiplier * pivotRow[j];
            }
        }
    }
    return determinant;
}

std::vector<double> SolveLinearN(const double* a, const double* b, int n) {
    if (n < 1) {
        return {};
    }
    const std::size_t size = static_cast<std::size_t>(n);
    std::vector<double> factors(a, a + size * size);
    std::vector<int> perm(size);
    DecomposeLU(n, factors.data(), perm.data());

    // Forward substitution with the unit lower factor, in pivot order.
    std::vector<double> y(size);
    for (int i = 0; i < n; ++i) {
        const double* row = factors.data() + perm[i] * n;
        double value = b[perm[i]];
        for (int j = 0; j < i; ++j) {
            value -= row[j] * y[j];
        }
        y[i] = value;
    }
    // Back substitution with the upper factor, from the last pivot row.
    std::vector<double> x(size);
    for (int i = n - 1; i >= 0; --i) {
        const double* row = factors.data() + perm[i] * n;
        double value = y[i];
        for (int j = i + 1; j < n; ++j) {
            value -= row[j] * x[j];
        }
        x[i] = value / row[i];
    }
    return x;
}

}  // namespace vantrel
