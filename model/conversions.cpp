#include "model/conversions.h"
#include "model/exact_decimal.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace korvane {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exponents are summed with saturation at this magnitude: far beyond any exponent that can
// still matter, far below the limits of std::int64_t.
constexpr std::int64_t kExponentCap = 1'000'000'000'000LL;

// Takes one more digit of an exponent; past the cap the exponent stays where it is.
void TakeExponentDigit(std::int64_t& exponent, char digit) {
    if (exponent < kExponentCap) {
        exponent = exponent * 10 + (digit - '0');
    }
}

std::int64_t SaturatedAdd(std::int64_t a, std::int64_t b) {
    const std::int64_t sum = a + b; // both operands stay within a few times kExponentCap
    if (sum > kExponentCap) {
        return kExponentCap;
    }
    if (sum < -kExponentCap) {
        return -kExponentCap;
    }
    return sum;
}

// Walks a text as ReadNumber sees it: blanks, tabs and line feeds are skipped wherever they
// stand.
class SkippingCursor {
public:
    explicit SkippingCursor(std::string_view text) : text_(text) { SkipBlanks(); }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void Advance() {
        ++pos_;
        SkipBlanks();
    }

    // The character after the current one, blanks skipped; '\0' at the end.
    char PeekAfter() const {
        std::size_t p = pos_ + 1;
        while (p < text_.size() && IsBlank(text_[p])) {
            ++p;
        }
        return p < text_.size() ? text_[p] : '\0';
    }

    // The character two places after the current one, blanks skipped; '\0' at the end.
    char PeekAfterNext() const {
        std::size_t p = pos_ + 1;
        for (int seen = 0; p < text_.size(); ++p) {
            if (IsBlank(text_[p])) {
                continue;
            }
            if (seen == 1) {
                return text_[p];
            }
            ++seen;
        }
        return '\0';
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// A double needs at most 767 significant decimal digits to be rounded correctly; digits past
// this many only matter through whether any of them is nonzero.
constexpr std::size_t kKeptDigits = 800;

} // namespace

double ReadNumber(std::string_view text) {
    SkippingCursor cur(text);

    bool negative = false;
    if (cur.Peek() == '+' || cur.Peek() == '-') {
        negative = cur.Peek() == '-';
        cur.Advance();
    }

    // The value is 0.<significant> x 10^pointExponent x 10^exponent.
    std::string significant;
    bool droppedNonzero = false;
    bool anyDigit = false;
    std::int64_t pointExponent = 0;

    auto takeDigit = [&](char c, bool fraction) {
        anyDigit = true;
        if (significant.empty() && c == '0') {
            if (fraction) {
                --pointExponent; // a zero between the point and the first significant digit
            }
            return;
        }
        if (!fraction) {
            ++pointExponent;
        }
        if (significant.size() < kKeptDigits) {
            significant.push_back(c);
        } else if (c != '0') {
            droppedNonzero = true;
        }
    };

    while (IsDigit(cur.Peek())) {
        takeDigit(cur.Peek(), false);
        cur.Advance();
    }
    if (cur.Peek() == '.') {
        cur.Advance();
        while (IsDigit(cur.Peek())) {
            takeDigit(cur.Peek(), true);
            cur.Advance();
        }
    }
    if (!anyDigit) {
        return 0.0;
    }

    std::int64_t exponent = 0;
    if (cur.Peek() == 'E' || cur.Peek() == 'e') {
        const char next = cur.PeekAfter();
        const bool signedExp = next == '+' || next == '-';
        if (IsDigit(next) || (signedExp && IsDigit(cur.PeekAfterNext()))) {
            cur.Advance();
            const bool expNegative = cur.Peek() == '-';
            if (signedExp) {
                cur.Advance();
            }
            while (IsDigit(cur.Peek())) {
                TakeExponentDigit(exponent, cur.Peek());
                cur.Advance();
            }
            if (expNegative) {
                exponent = -exponent;
            }
        }
    }

    const double zero = negative ? -0.0 : 0.0;
    if (significant.empty()) {
        return zero;
    }
    const double infinity = negative ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();

    // 0.<significant> x 10^total lies in [10^(total-1), 10^total).
    const std::int64_t total = SaturatedAdd(pointExponent, exponent);
    if (total > 400) {
        return infinity;
    }
    if (total < -400) {
        return zero;
    }

    std::string form = "0.";
    form += significant;
    if (droppedNonzero) {
        form.push_back('1');
    }
    form.push_back('e');
    std::array<char, 24> expText{};
    auto expEnd = std::to_chars(expText.data(), expText.data() + expText.size(), total).ptr;
    form.append(expText.data(), expEnd);

    double magnitude = 0.0;
    const auto result = FromCharsGeneral(form.data(), form.data() + form.size(), magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        return total > 0 ? infinity : zero;
    }
    return negative ? -magnitude : magnitude;
}

std::string NumberText(double value, Precision precision) {
    if (std::isnan(value)) {
        return " NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? " Infinity" : "-Infinity";
    }
    if (value == 0.0) {
        return " 0";
    }

    const int digits = precision == Precision::Double ? 15 : 7;
    std::array<char, 64> buffer{};
    const auto result = ToCharsScientific(buffer.data(), buffer.data() + buffer.size(),
                                          std::fabs(value), digits - 1);
    const std::string_view sci(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));

    // sci is "d.ddde+XX" (or "de+XX" with one digit): split into mantissa digits and exponent.
    const std::size_t ePos = sci.find('e');
    std::string mantissa;
    for (char c : sci.substr(0, ePos)) {
        if (IsDigit(c)) {
            mantissa.push_back(c);
        }
    }
    int exponent = 0;
    const std::string_view expText = sci.substr(ePos + 1);
    const char* expBegin = expText.data() + (expText.front() == '+' ? 1 : 0);
    std::from_chars(expBegin, expText.data() + expText.size(), exponent);

    while (mantissa.size() > 1 && mantissa.back() == '0') {
        mantissa.pop_back();
    }

    std::string out = value < 0 ? "-" : " ";
    if (exponent < -4 || exponent >= digits) {
        out.push_back(mantissa[0]);
        if (mantissa.size() > 1) {
            out.push_back('.');
            out.append(mantissa, 1);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const int absExp = exponent < 0 ? -exponent : exponent;
        if (absExp < 10) {
            out.push_back('0');
        }
        out += std::to_string(absExp);
        return out;
    }

    const auto count = static_cast<int>(mantissa.size());
    if (exponent >= 0) {
        const int intDigits = exponent + 1;
        for (int i = 0; i < intDigits; ++i) {
            out.push_back(i < count ? mantissa[static_cast<std::size_t>(i)] : '0');
        }
        if (count > intDigits) {
            out.push_back('.');
            out.append(mantissa, static_cast<std::size_t>(intDigits));
        }
    } else {
        out.push_back('.');
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += mantissa;
    }
    return out;
}

std::string PatternText(std::string_view numberText, std::string_view pattern) {
    // Read the number text: leading blanks, optional "-", digits, optional point and digits,
    // optional exponent.
    std::size_t pos = 0;
    while (pos < numberText.size() && numberText[pos] == ' ') {
        ++pos;
    }
    bool minus = false;
    if (pos < numberText.size() && numberText[pos] == '-') {
        minus = true;
        ++pos;
    }
    const std::size_t intBegin = pos;
    while (pos < numberText.size() && IsDigit(numberText[pos])) {
        ++pos;
    }
    const std::string_view intDigits = numberText.substr(intBegin, pos - intBegin);
    std::string_view fracDigits;
    if (pos < numberText.size() && numberText[pos] == '.') {
        ++pos;
        const std::size_t fracBegin = pos;
        while (pos < numberText.size() && IsDigit(numberText[pos])) {
            ++pos;
        }
        fracDigits = numberText.substr(fracBegin, pos - fracBegin);
    }
    if (intDigits.empty() && fracDigits.empty()) {
        return std::string(numberText);
    }
    std::int64_t exponent = 0;
    if (pos < numberText.size() && (numberText[pos] == 'E' || numberText[pos] == 'e')) {
        std::size_t p = pos + 1;
        bool expNegative = false;
        if (p < numberText.size() && (numberText[p] == '+' || numberText[p] == '-')) {
            expNegative = numberText[p] == '-';
            ++p;
        }
        while (p < numberText.size() && IsDigit(numberText[p])) {
            TakeExponentDigit(exponent, numberText[p]);
            ++p;
        }
        if (expNegative) {
            exponent = -exponent;
        }
    }

    // Decimal places: the "#" after the pattern's first point.
    const std::size_t patternPoint = pattern.find('.');
    const bool hasPoint = patternPoint != std::string_view::npos;
    std::int64_t decimals = 0;
    if (hasPoint) {
        for (char c : pattern.substr(patternPoint + 1)) {
            decimals += c == '#' ? 1 : 0;
        }
    }

    // The significant digits S (from the first nonzero one) and the place of the point in S:
    // the number is S[0..q) "." S[q..), with zeros where S has no digit.
    const auto intCount = static_cast<std::int64_t>(intDigits.size());
    const auto allCount = intCount + static_cast<std::int64_t>(fracDigits.size());
    auto digitAt = [&](std::int64_t i) {
        return i < intCount ? intDigits[static_cast<std::size_t>(i)]
                            : fracDigits[static_cast<std::size_t>(i - intCount)];
    };
    std::int64_t lead = 0;
    while (lead < allCount && digitAt(lead) == '0') {
        ++lead;
    }
    const bool isZero = lead == allCount;
    const std::int64_t sigCount = allCount - lead;
    auto sigAt = [&](std::int64_t i) { return i >= 0 && i < sigCount ? digitAt(lead + i) : '0'; };
    const std::int64_t q = isZero ? 0 : SaturatedAdd(intCount - lead, exponent);
    if (q > 400) {
        return std::string(numberText);
    }

    // Fixed digits: the integer part (q digits when q > 0) and the decimal places, then the
    // first dropped digit decides the rounding.
    const std::int64_t intLen = q > 0 ? q : 0;
    std::string fixed;
    fixed.reserve(static_cast<std::size_t>(intLen + decimals + 1));
    for (std::int64_t j = 0; j < intLen + decimals; ++j) {
        fixed.push_back(sigAt(j + q - intLen));
    }
    std::int64_t integerDigits = intLen;
    if (sigAt(q + decimals) >= '5') {
        std::int64_t j = static_cast<std::int64_t>(fixed.size()) - 1;
        while (j >= 0 && fixed[static_cast<std::size_t>(j)] == '9') {
            fixed[static_cast<std::size_t>(j)] = '0';
            --j;
        }
        if (j >= 0) {
            ++fixed[static_cast<std::size_t>(j)];
        } else {
            fixed.insert(fixed.begin(), '1');
            ++integerDigits;
        }
    }

    std::string out;
    if (minus && !isZero) {
        out.push_back('-');
    }
    std::size_t firstInt = 0;
    const auto intEnd = static_cast<std::size_t>(integerDigits);
    while (firstInt < intEnd && fixed[firstInt] == '0') {
        ++firstInt;
    }
    out.append(fixed, firstInt, intEnd - firstInt);
    if (hasPoint) {
        out.push_back('.');
        std::size_t fracEnd = fixed.size();
        while (fracEnd > intEnd && fixed[fracEnd - 1] == '0') {
            --fracEnd;
        }
        out.append(fixed, intEnd, fracEnd - intEnd);
    }
    return out;
}

float StoreSingle(double value) {
    if (std::isnan(value)) {
        return std::numeric_limits<float>::quiet_NaN();
    }
    // Halfway between FLT_MAX and the next power of two: from here on the nearest float is
    // infinity (ties go to the even neighbour, which is 2^128, i.e. infinity).
    constexpr double kOverflow = (2.0 - 0x1p-24) * 0x1p127;
    constexpr float kInf = std::numeric_limits<float>::infinity();
    if (value >= kOverflow) {
        return kInf;
    }
    if (value <= -kOverflow) {
        return -kInf;
    }
    if (value > static_cast<double>(FLT_MAX)) {
        return FLT_MAX;
    }
    if (value < -static_cast<double>(FLT_MAX)) {
        return -FLT_MAX;
    }
    return static_cast<float>(value);
}

std::optional<std::int16_t> StoreInt16(double value) {
    if (std::isnan(value) || value < -40000.0 || value > 40000.0) {
        return std::nullopt;
    }
    const double below = std::floor(value);
    const double fraction = value - below; // exact for magnitudes this small
    double nearest = below;
    if (fraction > 0.5) {
        nearest = below + 1.0;
    } else if (fraction == 0.5) {
        nearest = std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
    }
    if (nearest < -32768.0 || nearest > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(nearest);
}

} // namespace korvane
