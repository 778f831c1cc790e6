// The C++ runtime's failures as the program links them (its own throw
// helpers): each failing library operation must still throw a std::exception
// with a message, so that a task's guard catches it and the window lives on.
// Exits with the number of operations that did not.
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace {

// Unknown to the compiler, so that no failure below is decided at build time.
volatile size_t beyond = 5;
const char* volatile nullText = nullptr;

template <typename Operation>
int FailuresOf(const char* what, Operation operation) {
    try {
        operation();
    } catch (const std::exception& error) {
        if (error.what() && *error.what()) return 0;
        std::printf("FAIL: %s threw without a message\n", what);
        return 1;
    } catch (...) {
        std::printf("FAIL: %s threw something other than a std::exception\n", what);
        return 1;
    }
    std::printf("FAIL: %s did not throw\n", what);
    return 1;
}

}  // namespace

int main() {
    std::string text = "abc";
    std::vector<int> numbers(3);
    std::function<void()> empty;
    int failures = 0;
    failures += FailuresOf("string::substr past the end", [&] { (void)text.substr(beyond); });
    failures += FailuresOf("string::reserve beyond max_size()",
                           [&] { text.reserve(text.max_size() + beyond); });
    failures += FailuresOf("vector::reserve beyond max_size()",
                           [&] { numbers.reserve(numbers.max_size() + beyond); });
    failures += FailuresOf("vector::at past the end", [&] { (void)numbers.at(beyond); });
    failures += FailuresOf("a string from a null pointer", [&] { std::string copy(nullText); });
    failures += FailuresOf("new beyond any memory", [&] {
        char* volatile kept = new char[~size_t{0} - beyond];  // not elided with its delete
        delete[] kept;
    });
    failures += FailuresOf("an empty function called", [&] { empty(); });
    std::printf("%d failure(s)\n", failures);
    return failures;
}
