#include "leading_int.h"

#include <climits>

static_assert(sizeof(int) == 4, "settings and wire values are 32-bit");

namespace cc121 {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

int parseLeadingInt(const char* text, const char** end) {
    if (end != nullptr) {
        *end = text;
    }
    if (text == nullptr) {
        return 0;
    }
    const char* p = text;
    while (isSpace(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (!isDigit(*p)) {
        return 0;
    }
    // Accumulate the magnitude in 64 bits and stop growing once it passes the limit; the remaining digits
    // are still consumed so that `end` lands after the number.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    while (isDigit(*p)) {
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + (*p - '0');
        }
        ++p;
    }
    if (end != nullptr) {
        *end = p;
    }
    if (magnitude > limit) {
        magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace cc121
