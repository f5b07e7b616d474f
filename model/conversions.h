#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number/text conversions used everywhere a number meets a box. All of them are exact and
// independent of the C and C++ locales: "." is always the decimal separator and digits are
// never grouped.
namespace korvane {

// Precision of a stored value, which decides how many significant digits NumberText writes.
enum class Precision {
    Single, // 7 significant digits
    Double, // 15 significant digits
};

// Reads the number at the start of a text, leniently. Blanks, tabs and line feeds are removed
// wherever they stand; then an optional sign, digits, an optional "." with digits and an
// optional exponent (E or e, optional sign, digits) are read, and reading stops at the first
// character that cannot continue. No digit read gives 0. Beyond the double range the value is
// plus or minus infinity; below it, zero.
double ReadNumber(std::string_view text);

// Writes a number with a sign column: " " before values of zero or more, "-" before negative
// ones, rounded to 15 (Double) or 7 (Single) significant digits, trailing zeros and a bare
// point dropped, no zero before the point (" .5"). Rounded magnitudes below 1E-4, or at or
// above 1E15 (Double) / 1E7 (Single), are written as mantissa, "E", sign and at least two
// exponent digits (" 1E-05"). Infinities are " Infinity" and "-Infinity", NaN is " NaN".
std::string NumberText(double value, Precision precision);

// Lays a number text out under a pattern of "#" places and one ".", such as "##.##" or
// "###.#": rounded half away from zero on its decimal digits to the places after the point,
// "-" for a negative number (kept when it rounds to zero: "-."), the integer part without
// leading zeros (nothing when it is 0), ".", then the decimals without trailing zeros.
// A text that holds no number is returned unchanged.
std::string PatternText(std::string_view numberText, std::string_view pattern);

// Storing into a single-precision field: the nearest float, ties to even; beyond the float
// range, plus or minus infinity.
float StoreSingle(double value);

// Storing into a 16-bit integer field: the nearest integer, ties to even. Empty when the result
// would lie outside -32768 to 32767, or the value is not a number.
std::optional<std::int16_t> StoreInt16(double value);

} // namespace korvane
