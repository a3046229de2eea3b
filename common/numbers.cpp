// Numbers read from text, checked whole and against their range.
#include "common/numbers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace common {

bool parseWhole(const std::string& text, long long min, long long max, long long& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (min < 0 && !text.empty() && (text[0] == '+' || text[0] == '-')) i = 1;
    if (i == text.size()) return false;
    unsigned long long magnitude = 0;
    const unsigned long long limit = static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative && magnitude == limit) return false;
    const long long v = negative ? static_cast<long long>(0 - magnitude) : static_cast<long long>(magnitude);
    if (v < min || v > max) return false;
    value = v;
    return true;
}

bool parseReal(const std::string& text, double min, double max, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v) || v < min || v > max) return false;
    value = v;
    return true;
}

}  // namespace common
