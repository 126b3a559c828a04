#include "geometry/DoubleArray.h"

#include <stdexcept>

namespace vantrel {

namespace {

void RequireSecondAtLeastAsLong(const DoubleArray& a, const DoubleArray& b) {
    if (b.size() < a.size()) {
        throw std::invalid_argument("DoubleArray: second operand is shorter than the first");
    }
}

}  // namespace

double Dot(const DoubleArray& a, const DoubleArray& b) {
    RequireSecondAtLeastAsLong(a, b);
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        sum += a[i] * b[i];
    }
    return sum;
}

DoubleArray operator*(double s, const DoubleArray& a) {
    DoubleArray result(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        result[i] = s * a[i];
    }
    return result;
}

DoubleArray operator*(const DoubleArray& a, double s) {
    DoubleArray result(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        result[i] = a[i] * s;
    }
    return result;
}

DoubleArray operator+(const DoubleArray& a, const DoubleArray& b) {
    RequireSecondAtLeastAsLong(a, b);
    DoubleArray result(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        result[i] = a[i] + b[i];
    }
    return result;
}

DoubleArray operator-(const DoubleArray& a, const DoubleArray& b) {
    RequireSecondAtLeastAsLong(a, b);
    DoubleArray result(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        result[i] = a[i] - b[i];
    }
    return result;
}

DoubleArray operator-(const DoubleArray& a) {
    DoubleArray result(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        result[i] = -a[i];
    }
    return result;
}

}  // namespace vantrel
