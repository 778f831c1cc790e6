// Whatever passes the numeric test must read without error under the same
// rules, agree between its two readings and with the C library's reading, and
// survive a round trip through the digits the program writes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/numeric_text.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Digits from the first to the last non-zero one of the mantissa: up to 15 of
// them, a double holds the text's value closely enough to tell an exact half.
int SignificantDigits(const std::wstring& text) {
    std::wstring digits;
    for (wchar_t c : text) {
        if (c == L'e' || c == L'E') break;
        if (c >= L'0' && c <= L'9') digits += c;
    }
    const auto first = digits.find_first_not_of(L'0');
    if (first == std::wstring::npos) return 0;
    return static_cast<int>(digits.find_last_not_of(L'0') - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One byte per character keeps the fuzzer close to typed ASCII; every
    // second input also tries the bytes as UTF-16 units.
    std::wstring text(data, data + size);
    using torvane::IsNumericText;
    using torvane::ReadReal;
    using torvane::ReadWhole;
    const bool numeric = IsNumericText(text);
    const auto real = ReadReal(text);
    const auto whole = ReadWhole(text);
    const auto milliseconds = ReadWhole(text, 3);
    Require(real.has_value() == numeric);
    Require(whole.has_value() == numeric);
    Require(milliseconds.has_value() == numeric);
    if (!numeric) return 0;

    Require(std::isfinite(*real));
    Require(*whole >= INT32_MIN && *whole <= INT32_MAX);
    // The whole number is the real one rounded: never more than half away.
    Require(std::fabs(*real - static_cast<double>(*whole)) <=
            0.5 + 1e-9 * std::fabs(*real) + 1e-12);
    // Thousandths rounded are within half a thousandth of the same value.
    Require(std::fabs(*real * 1000.0 - static_cast<double>(*milliseconds)) <=
            0.5 + 1e-9 * std::fabs(*real * 1000.0) + 1e-9);
    // An exact half goes to the even neighbour.
    if (SignificantDigits(text) <= 15 && std::fabs(*real - std::trunc(*real)) == 0.5) {
        Require(*whole % 2 == 0);
    }
    // The real reading is the C library's, to within a few units in the last
    // place; far below any number typed here, both are as good as zero.
    const std::string ascii(text.begin(), text.end());
    const double expected = std::strtod(ascii.c_str(), nullptr);
    Require(std::fabs(*real - expected) <= 1e-14 * std::fabs(expected) ||
            (std::fabs(*real) < 1e-300 && std::fabs(expected) < 1e-300));
    // The digits we would write back read as the same number.
    const std::wstring written = std::to_wstring(*whole);
    Require(torvane::DecimalText(*whole) == written);
    Require(IsNumericText(written));
    Require(ReadWhole(written) == whole);
    Require(ReadReal(written) == static_cast<double>(*whole));
    return 0;
}
