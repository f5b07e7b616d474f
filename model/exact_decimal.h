#pragma once

#include <charconv>

// The two floating-point conversions of <charconv> that conversions.cpp uses, for C++ libraries
// that lack them (emscripten's libc++ 13 has only the integer ones): decimal text to double and
// double to scientific text with a given precision. Both are exact and correctly rounded, ties
// to even, as the standard requires of std::from_chars and std::to_chars; they use integers
// only, so no locale and no C library conversion takes part.
namespace korvane::exact_decimal {

// As std::from_chars(first, last, value, std::chars_format::general) for decimal numbers: an
// optional "-", digits with an optional "." (at least one digit in all), then an optional
// exponent ("e" or "E", an optional sign, digits), which is left unread when it has no digit.
// "inf" and "nan" are not read. No number: errc::invalid_argument and `first`. A number beyond
// the double range, or a nonzero one that rounds to zero: errc::result_out_of_range with the
// end of the number; `value` changes only on success.
std::from_chars_result ParseDouble(const char* first, const char* last, double& value);

// As std::to_chars(first, last, value, std::chars_format::scientific, precision) for a
// precision of 0 to 17: "-" for a negative value, one digit, "." and `precision` digits when
// there are any, "e", the exponent's sign and at least two exponent digits ("1.500000e+00",
// "5e-324"); "inf", "-inf", "nan" and "-nan". errc::value_too_large (and `last`) when the text
// does not fit, errc::invalid_argument for another precision.
std::to_chars_result FormatScientific(char* first, char* last, double value, int precision);

} // namespace korvane::exact_decimal

namespace korvane {

// What conversions.cpp calls: the standard library's conversions wherever it has both of them
// (__cpp_lib_to_chars), otherwise the exact ones above.
inline std::from_chars_result FromCharsGeneral(const char* first, const char* last, double& value) {
#if defined(__cpp_lib_to_chars)
    return std::from_chars(first, last, value, std::chars_format::general);
#else
    return exact_decimal::ParseDouble(first, last, value);
#endif
}

inline std::to_chars_result ToCharsScientific(char* first, char* last, double value,
                                              int precision) {
#if defined(__cpp_lib_to_chars)
    return std::to_chars(first, last, value, std::chars_format::scientific, precision);
#else
    return exact_decimal::FormatScientific(first, last, value, precision);
#endif
}

} // namespace korvane
