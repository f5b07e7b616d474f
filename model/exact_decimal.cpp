#include "model/exact_decimal.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// Both conversions reduce to one question about two big integers N and D: the integer part of
// N / D (below 2^63) and whether the rest is below, at or above one half. Everything else is
// bookkeeping of decimal and binary exponents.
namespace korvane::exact_decimal {

namespace {

// An unsigned integer of any size, 32 bits a limb, the least significant limb first, with no
// zero limb at the top.
class Big {
public:
    explicit Big(std::uint64_t value) {
        while (value != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(value));
            value >>= 32;
        }
    }

    bool IsZero() const { return limbs_.empty(); }

    // *this = *this * factor + add.
    void MulAdd(std::uint32_t factor, std::uint32_t add) {
        std::uint64_t carry = add;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        }
        Trim();
    }

    void MulPow10(int exponent) {
        for (; exponent >= 9; exponent -= 9) {
            MulAdd(1'000'000'000U, 0);
        }
        std::uint32_t factor = 1;
        for (; exponent > 0; --exponent) {
            factor *= 10;
        }
        MulAdd(factor, 0);
    }

    void ShiftLeft(int bits) {
        if (IsZero() || bits <= 0) {
            return;
        }
        const auto whole = static_cast<std::size_t>(bits / 32);
        const int part = bits % 32;
        if (part != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t next = limb >> (32 - part);
                limb = (limb << part) | carry;
                carry = next;
            }
            if (carry != 0) {
                limbs_.push_back(carry);
            }
        }
        limbs_.insert(limbs_.begin(), whole, 0U);
    }

    void ShiftRightOne() {
        std::uint32_t carry = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            const std::uint32_t next = limbs_[i] << 31;
            limbs_[i] = (limbs_[i] >> 1) | carry;
            carry = next;
        }
        Trim();
    }

    int BitLength() const {
        if (IsZero()) {
            return 0;
        }
        int top = 0;
        for (std::uint32_t t = limbs_.back(); t != 0; t >>= 1) {
            ++top;
        }
        return static_cast<int>(limbs_.size() - 1) * 32 + top;
    }

    // -1, 0 or 1 as *this is below, equal to or above other.
    int Compare(const Big& other) const {
        if (limbs_.size() != other.limbs_.size()) {
            return limbs_.size() < other.limbs_.size() ? -1 : 1;
        }
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            if (limbs_[i] != other.limbs_[i]) {
                return limbs_[i] < other.limbs_[i] ? -1 : 1;
            }
        }
        return 0;
    }

    // *this -= other, which is not larger.
    void Subtract(const Big& other) {
        std::uint64_t borrow = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            const std::uint64_t take = (i < other.limbs_.size() ? other.limbs_[i] : 0U) + borrow;
            borrow = limbs_[i] < take ? 1 : 0;
            limbs_[i] =
                static_cast<std::uint32_t>((std::uint64_t{1} << 32) * borrow + limbs_[i] - take);
        }
        Trim();
    }

private:
    void Trim() {
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
    }

    std::vector<std::uint32_t> limbs_;
};

// The integer part of numerator / denominator, which must lie below 2^63, and the rest: how it
// compares with one half (-1 below, 0 exactly half, 1 above) and whether it is zero.
struct Quotient {
    std::uint64_t whole;
    int half;
    bool exact;
};

Quotient Divide(Big numerator, const Big& denominator) {
    const int shift = numerator.BitLength() - denominator.BitLength();
    std::uint64_t whole = 0;
    if (shift >= 0) {
        Big step = denominator;
        step.ShiftLeft(shift);
        for (int i = shift; i >= 0; --i) {
            whole <<= 1;
            if (numerator.Compare(step) >= 0) {
                numerator.Subtract(step);
                whole |= 1;
            }
            step.ShiftRightOne();
        }
    }
    const bool exact = numerator.IsZero();
    numerator.ShiftLeft(1);
    return {whole, numerator.Compare(denominator), exact};
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int BitLength(std::uint64_t value) {
    int length = 0;
    for (; value != 0; value >>= 1) {
        ++length;
    }
    return length;
}

// A double needs at most 767 significant digits to be rounded correctly; past this many only
// whether any further digit is nonzero matters, and a final 1 stands for that.
constexpr std::size_t kKeptDigits = 800;
// Decimal exponents saturate here, far beyond any that can still matter.
constexpr std::int64_t kExponentCap = 1'000'000'000'000LL;

constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << 52;

double FromBits(std::uint64_t bits) {
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The double nearest to digits x 10^exponent (digits: at least one, the first nonzero), as its
// bits without the sign; false when that is beyond the double range or zero.
bool NearestDouble(const std::string& digits, std::int64_t exponent, std::uint64_t& bits) {
    const auto count = static_cast<std::int64_t>(digits.size());
    // The value lies in [10^(count - 1 + exponent), 10^(count + exponent)).
    if (count - 1 + exponent > 308) {
        return false; // 1E309 or more, beyond the largest double
    }
    if (count + exponent < -324) {
        return false; // below 1E-324, under half the smallest subnormal
    }
    Big numerator(0);
    for (char c : digits) {
        numerator.MulAdd(10, static_cast<std::uint32_t>(c - '0'));
    }
    Big denominator(1);
    if (exponent >= 0) {
        numerator.MulPow10(static_cast<int>(exponent));
    } else {
        denominator.MulPow10(static_cast<int>(-exponent));
    }

    // Scaled by 2^scale, the quotient has 54 or 55 bits, one or two more than a double keeps.
    const int scale = 54 - (numerator.BitLength() - denominator.BitLength());
    if (scale >= 0) {
        numerator.ShiftLeft(scale);
    } else {
        denominator.ShiftLeft(-scale);
    }
    const Quotient q = Divide(numerator, denominator);
    // The value is q x 2^-scale, in [2^power, 2^(power + 1)); a double's last place there is
    // 2^(power - 52), or 2^-1074 below the normal range. `drop` bits of q fall below it.
    int power = BitLength(q.whole) - 1 - scale;
    const int drop = (power >= -1022 ? power - 52 : -1074) + scale;
    if (drop >= 56) {
        return false; // q < 2^55 is below half the last place: zero
    }
    std::uint64_t kept = q.whole >> drop;
    const std::uint64_t dropped = q.whole & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t halfway = std::uint64_t{1} << (drop - 1);
    const bool tie = dropped == halfway && q.exact;
    if (dropped > halfway || (dropped == halfway && !q.exact) || (tie && (kept & 1U) != 0)) {
        ++kept;
    }
    if (kept == 0) {
        return false;
    }
    if (kept < kHiddenBit) { // subnormal (or, carried to 2^52, the smallest normal)
        bits = kept;
        return true;
    }
    if (kept == 2 * kHiddenBit) {
        kept = kHiddenBit;
        ++power;
    }
    if (power > 1023) {
        return false;
    }
    bits = (static_cast<std::uint64_t>(power + 1023) << 52) | (kept - kHiddenBit);
    return true;
}

} // namespace

std::from_chars_result ParseDouble(const char* first, const char* last, double& value) {
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) {
        ++p;
    }
    // The number is digits x 10^exponent.
    std::string digits;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool droppedNonzero = false;
    auto take = [&](char c, bool fraction) {
        anyDigit = true;
        if (digits.empty() && c == '0') {
            exponent -= fraction ? 1 : 0;
        } else if (digits.size() < kKeptDigits) {
            digits.push_back(c);
            exponent -= fraction ? 1 : 0;
        } else {
            droppedNonzero = droppedNonzero || c != '0';
            exponent += fraction ? 0 : 1;
        }
    };
    for (; p != last && IsDigit(*p); ++p) {
        take(*p, false);
    }
    if (p != last && *p == '.') {
        ++p;
        for (; p != last && IsDigit(*p); ++p) {
            take(*p, true);
        }
    }
    if (!anyDigit) {
        return {first, std::errc::invalid_argument};
    }
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        const bool expNegative = q != last && *q == '-';
        if (q != last && (*q == '-' || *q == '+')) {
            ++q;
        }
        if (q != last && IsDigit(*q)) {
            std::int64_t written = 0;
            for (; q != last && IsDigit(*q); ++q) {
                if (written < kExponentCap) {
                    written = written * 10 + (*q - '0');
                }
            }
            exponent += expNegative ? -written : written;
            p = q;
        }
    }
    if (digits.empty()) {
        value = negative ? -0.0 : 0.0;
        return {p, std::errc()};
    }
    if (droppedNonzero) {
        digits.push_back('1');
        --exponent;
    }
    std::uint64_t bits = 0;
    if (!NearestDouble(digits, exponent, bits)) {
        return {p, std::errc::result_out_of_range};
    }
    value = FromBits(bits | (negative ? std::uint64_t{1} << 63 : 0U));
    return {p, std::errc()};
}

std::to_chars_result FormatScientific(char* first, char* last, double value, int precision) {
    if (precision < 0 || precision > 17) {
        return {last, std::errc::invalid_argument};
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t mantissa = bits & (kHiddenBit - 1);

    std::array<char, 40> text{};
    std::size_t length = 0;
    auto put = [&](char c) { text[length++] = c; };
    if (negative) {
        put('-');
    }
    if (biased == 0x7FF) {
        for (const char c : std::string_view(mantissa == 0 ? "inf" : "nan")) {
            put(c);
        }
    } else {
        // The value is mantissa x 2^power, and digitsValue x 10^(exponent - precision) rounded.
        int power = biased == 0 ? -1074 : biased - 1075;
        if (biased != 0) {
            mantissa |= kHiddenBit;
        }
        std::uint64_t digitsValue = 0;
        int exponent = 0;
        std::uint64_t limit = 1; // 10^(precision + 1)
        for (int i = 0; i <= precision; ++i) {
            limit *= 10;
        }
        if (mantissa != 0) {
            // floor(log10(2) x (top bit)) is the decimal exponent or one below it.
            const int top = BitLength(mantissa) - 1 + power;
            exponent = (top * 78913) >> 18;
            for (;;) {
                Big numerator(mantissa);
                Big denominator(1);
                numerator.ShiftLeft(power);
                denominator.ShiftLeft(-power);
                const int scale = precision - exponent;
                if (scale >= 0) {
                    numerator.MulPow10(scale);
                } else {
                    denominator.MulPow10(-scale);
                }
                const Quotient q = Divide(numerator, denominator);
                if (q.whole >= limit) {
                    ++exponent; // the estimate was one too low
                    continue;
                }
                const bool up = q.half > 0 || (q.half == 0 && (q.whole & 1U) != 0);
                digitsValue = q.whole + (up ? 1U : 0U);
                if (digitsValue == limit) {
                    digitsValue = limit / 10;
                    ++exponent;
                }
                break;
            }
        }
        std::array<char, 18> digits{};
        for (int i = precision; i >= 0; --i) {
            digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + digitsValue % 10);
            digitsValue /= 10;
        }
        put(digits[0]);
        if (precision > 0) {
            put('.');
            for (int i = 1; i <= precision; ++i) {
                put(digits[static_cast<std::size_t>(i)]);
            }
        }
        put('e');
        put(exponent < 0 ? '-' : '+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        if (magnitude < 10) {
            put('0');
        }
        length = static_cast<std::size_t>(
            std::to_chars(text.data() + length, text.data() + text.size(), magnitude).ptr -
            text.data());
    }
    if (static_cast<std::size_t>(last - first) < length) {
        return {last, std::errc::value_too_large};
    }
    std::memcpy(first, text.data(), length);
    return {first + length, std::errc()};
}

} // namespace korvane::exact_decimal
