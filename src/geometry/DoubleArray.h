#pragma once
// A variable-length array of doubles with element-wise arithmetic.
// Every operator returns a new array of the size of its first operand.
// Binary operators need a second operand at least as long as the first and
// throw std::invalid_argument otherwise (instead of reading past its end).
#include <cstddef>
#include <initializer_list>
#include <vector>

namespace vantrel {

class DoubleArray {
public:
    DoubleArray() = default;
    explicit DoubleArray(std::size_t size, double value = 0.0) : values_(size, value) {}
    DoubleArray(std::initializer_list<double> values) : values_(values) {}

    std::size_t size() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    double& operator[](std::size_t i) { return values_[i]; }
    double operator[](std::size_t i) const { return values_[i]; }
    const std::vector<double>& values() const { return values_; }

private:
    std::vector<double> values_;
};

// Sum of a[i] * b[i] over the length of a; 0.0 for an empty a.
double Dot(const DoubleArray& a, const DoubleArray& b);

DoubleArray operator*(double s, const DoubleArray& a);
DoubleArray operator*(const DoubleArray& a, double s);
DoubleArray operator+(const DoubleArray& a, const DoubleArray& b);
DoubleArray operator-(const DoubleArray& a, const DoubleArray& b);
DoubleArray operator-(const DoubleArray& a);

}  // namespace vantrel
