#pragma once
// Numbers as file text, the same in every locale: the shortest decimal text that
// reads back to the same double ("0.1", "2.5e-07", "1e+20"), and whole numbers.
// Every conduction and fibre export formats its numbers here.
#include <initializer_list>
#include <string>

namespace vantrel {

// Appends the shortest round-trip text of a finite `value`; a non-finite value is
// appended as "nan", "inf" or "-inf" (callers write their own "no value" marker).
void AppendShortest(std::string& out, double value);

void AppendInteger(std::string& out, long long value);

// Appends what printf's "%f" writes in the C locale (six decimals, fixed notation).
void AppendFixed6(std::string& out, double value);

// Appends what printf's "%.17g" writes in the C locale.
void AppendGeneral17(std::string& out, double value);

// One of the number writers above.
using NumberWriter = void (*)(std::string& out, double value);

// Appends `values` written by `write`, with `separator` between them (none after the last).
void AppendJoined(std::string& out, char separator, std::initializer_list<double> values,
                  NumberWriter write = AppendShortest);

// Appends "x y z" (written by `write`, one space between).
void AppendTriplet(std::string& out, double x, double y, double z,
                   NumberWriter write = AppendShortest);

}  // namespace vantrel
