#pragma once

#include <cstdint>
#include <optional>
#include <string>

// How typed numbers are read. A text is numeric when it is a plain ASCII decimal
// number: an optional sign, digits with an optional decimal point (at least one
// digit in all), an optional exponent (e or E, an optional sign, digits), and
// nothing before or after it. Its value rounded to a whole number must also fit
// a 32-bit signed integer. The rules do not depend on the locale.
namespace torvane {

bool IsNumericText(const std::wstring& text);

// The text read as a double; nullopt when it is not numeric.
std::optional<double> ReadReal(const std::wstring& text);

// The text's value times 10^powerOfTen, rounded to the nearest whole number with
// halves going to the even neighbour, computed exactly from the decimal digits.
// nullopt when the text is not numeric or the result does not fit 64 bits.
std::optional<std::int64_t> ReadWhole(const std::wstring& text, int powerOfTen = 0);

// A whole number written back as plain ASCII decimal digits, with a leading '-'
// when it is negative: the text that string values and messages show.
std::wstring DecimalText(std::int64_t value);

}  // namespace torvane
