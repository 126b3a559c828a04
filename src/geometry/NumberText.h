#pragma once
// Numbers as file text, the same in every locale: the shortest decimal text that
// reads back to the same double ("0.1", "2.5e-07", "1e+20"), and whole numbers.
// Every conduction export formats its numbers here.
#include <string>

namespace vantrel {

// Appends the shortest round-trip text of a finite `value`; a non-finite value is
// appended as "nan", "inf" or "-inf" (callers write their own "no value" marker).
void AppendShortest(std::string& out, double value);

void AppendInteger(std::string& out, long long value);

// Appends "x y z" (shortest text, one space between).
void AppendTriplet(std::string& out, double x, double y, double z);

}  // namespace vantrel
