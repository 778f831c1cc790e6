#include "platform/numeric_text.h"

#include <charconv>
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
    // Numeric texts are pure ASCII, so narrowing is exact; from_chars ignores the
    // locale but not a leading '+'.
    std::string ascii(text.begin(), text.end());
    size_t start = ascii[0] == '+' ? 1 : 0;
    double value = 0;
    const auto result = std::from_chars(ascii.data() + start, ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Its whole-number reading fits 32 bits, so it can only have underflowed.
        return ascii[0] == '-' ? -0.0 : 0.0;
    }
    return value;
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
