#include "platform/numeric_text.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace torvane {
namespace {

bool IsAsciiDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The number's digits and where its decimal point falls among them.
struct DecimalParts {
    bool negative = false;
    std::string digits;           // integer digits then fraction digits, as typed
    std::int64_t pointAfter = 0;  // digits before the decimal point, exponent applied
};

// Past this much beyond the text's own length, an exponent makes every
// whole-number reading overflow or round to 0, however many digits stand
// before or after the point: the digits can move the point by at most the
// text's length. Clamping there keeps the arithmetic below safe for any text.
constexpr std::int64_t kExponentMargin = 100000;

std::optional<DecimalParts> ParseDecimal(const std::wstring& text) {
    DecimalParts parts;
    size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        parts.negative = text[i] == L'-';
        ++i;
    }
    std::int64_t integerDigits = 0;
    while (i < text.size() && IsAsciiDigit(text[i])) {
        parts.digits.push_back(static_cast<char>(text[i++]));
        ++integerDigits;
    }
    if (i < text.size() && text[i] == L'.') {
        ++i;
        while (i < text.size() && IsAsciiDigit(text[i])) {
            parts.digits.push_back(static_cast<char>(text[i++]));
        }
    }
    if (parts.digits.empty()) return std::nullopt;
    std::int64_t exponent = 0;
    const std::int64_t exponentClamp = static_cast<std::int64_t>(text.size()) + kExponentMargin;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        bool exponentNegative = false;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
            exponentNegative = text[i] == L'-';
            ++i;
        }
        if (i == text.size() || !IsAsciiDigit(text[i])) return std::nullopt;
        while (i < text.size() && IsAsciiDigit(text[i])) {
            if (exponent < exponentClamp) exponent = exponent * 10 + (text[i] - L'0');
            ++i;
        }
        if (exponentNegative) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;
    parts.pointAfter = integerDigits + exponent;
    return parts;
}

// Rounds digits × 10^(pointAfter − digits.size()) half to even.
std::optional<std::int64_t> RoundHalfToEven(const DecimalParts& parts, int powerOfTen) {
    const std::string& d = parts.digits;
    const std::int64_t point = parts.pointAfter + powerOfTen;
    if (point < 0) return 0;  // below 0.1 in magnitude
    constexpr std::uint64_t kLimit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

    std::uint64_t whole = 0;
    for (std::int64_t k = 0; k < point; ++k) {
        const int digit = k < static_cast<std::int64_t>(d.size()) ? d[k] - '0' : 0;
        if (whole > (kLimit - digit) / 10) {
            return std::nullopt;
        }
        whole = whole * 10 + digit;
    }
    // The first dropped digit decides, the rest only break a tie.
    const auto size = static_cast<std::int64_t>(d.size());
    const int roundingDigit = point < size ? d[point] - '0' : 0;
    bool restNonZero = false;
    for (std::int64_t k = point + 1; k < size; ++k) {
        if (d[k] != '0') restNonZero = true;
    }
    const bool up = roundingDigit > 5 || (roundingDigit == 5 && (restNonZero || whole % 2 == 1));
    if (up) {
        if (whole == kLimit) return std::nullopt;
        ++whole;
    }
    const auto value = static_cast<std::int64_t>(whole);
    return parts.negative ? -value : value;
}

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::int64_t kLargestExactPower = 22;

// digits × 10^(pointAfter − digits.size()) as a double. When the significant
// digits make an integer below 2^53 (any 15 of them do) and the power is in the
// table, that is one exact integer and one multiplication or division by an
// exact power: the correctly rounded value. Otherwise it comes within a few
// units in the last place: digits beyond the 19th lie below a double's
// precision, and each further step by 10^22 rounds once.
double DecimalMagnitude(const std::string& digits, std::int64_t pointAfter) {
    const size_t start = digits.find_first_not_of('0');
    if (start == std::string::npos) return 0;
    size_t end = digits.find_last_not_of('0') + 1;
    std::int64_t power = pointAfter - static_cast<std::int64_t>(end);
    constexpr size_t kMostExactDigits = 19;  // below 2^64
    if (end - start > kMostExactDigits) {
        power += static_cast<std::int64_t>(end - start - kMostExactDigits);
        end = start + kMostExactDigits;
    }
    std::uint64_t significand = 0;
    for (size_t k = start; k < end; ++k) significand = significand * 10 + (digits[k] - '0');
    double value = static_cast<double>(significand);
    while (power > kLargestExactPower) {
        if (std::isinf(value)) return value;
        value *= kExactPowersOfTen[kLargestExactPower];
        power -= kLargestExactPower;
    }
    while (power < -kLargestExactPower) {
        if (value == 0) return 0;
        value /= kExactPowersOfTen[kLargestExactPower];
        power += kLargestExactPower;
    }
    return power >= 0 ? value * kExactPowersOfTen[power] : value / kExactPowersOfTen[-power];
}

}  // namespace

std::optional<std::int64_t> ReadWhole(const std::wstring& text, int powerOfTen) {
    const auto parts = ParseDecimal(text);
    if (!parts) return std::nullopt;
    const auto unscaled = RoundHalfToEven(*parts, 0);
    if (!unscaled || *unscaled < std::numeric_limits<std::int32_t>::min() ||
        *unscaled > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return powerOfTen == 0 ? unscaled : RoundHalfToEven(*parts, powerOfTen);
}

bool IsNumericText(const std::wstring& text) {
    return ReadWhole(text).has_value();
}

std::optional<double> ReadReal(const std::wstring& text) {
    if (!IsNumericText(text)) return std::nullopt;
    const auto parts = ParseDecimal(text);
    const double magnitude = DecimalMagnitude(parts->digits, parts->pointAfter);
    return parts->negative ? -magnitude : magnitude;
}

std::wstring DecimalText(std::int64_t value) {
    // The magnitude is taken unsigned, where the most negative value has one too.
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) magnitude = 0 - magnitude;
    wchar_t digits[20];  // 2^64 has 20 decimal digits
    size_t first = sizeof digits / sizeof digits[0];
    do {
        digits[--first] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::wstring text;
    if (value < 0) text += L'-';
    text.append(digits + first, digits + sizeof digits / sizeof digits[0]);
    return text;
}

}  // namespace torvane
