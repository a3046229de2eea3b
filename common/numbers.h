// Numbers read from text, checked whole and against their range.
#pragma once

#include <string>

namespace common {

// A whole number: decimal digits only, with a leading + or - allowed only
// when `min` is negative; within min..max.
bool parseWhole(const std::string& text, long long min, long long max, long long& value);

// A number with or without a fraction or exponent (as strtod reads it, no
// blank before it); finite and within min..max.
bool parseReal(const std::string& text, double min, double max, double& value);

}  // namespace common
