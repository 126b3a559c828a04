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

// Reads all of `text` as a decimal number without the locale; true when it is finite and
// above `minimum` (or equal to it when `allowMinimum`), with the number in `value`.
bool ReadBoundedNumber(const std::string& text, double minimum, bool allowMinimum, double& value);
// The refusal of such a number: "expected a finite number above 0, got 'text'" (or "0 or
// more" when the minimum is allowed); the minimum is 0 wherever it is used.
std::string BoundedNumberRefusal(const std::string& text, bool allowMinimum);

// Appends "x y z" (written by `write`, one space between).
void AppendTriplet(std::string& out, double x, double y, double z,
                   NumberWriter write = AppendShortest);

}  // namespace vantrel
