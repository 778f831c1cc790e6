#include "tests/native/test_support.h"

namespace torvane::testing {

std::string Utf8(const std::wstring& text) {
    return ToUtf8(text);
}

}  // namespace torvane::testing
