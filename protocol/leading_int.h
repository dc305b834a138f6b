#pragma once
// How every text form of the system reads a number.

namespace cc121 {

// Reads the leading base-10 integer of `text` the way the C library's string-to-long conversion does:
// leading white space, an optional sign, then digits up to the first other character. Text without digits
// gives 0. Values beyond the 32-bit signed range saturate at its limits. Never reads past the terminating
// zero; a null text gives 0. When `end` is given it receives the position just after the last digit, or
// `text` itself when there were no digits (null when text is null).
int parseLeadingInt(const char* text, const char** end = nullptr);

} // namespace cc121
