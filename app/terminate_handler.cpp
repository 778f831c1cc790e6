// What the C++ runtime does when something fails, cut to what a GUI program
// needs: libstdc++'s own versions link in far more than they do here.
#include <cstdlib>
#include <exception>
#include <new>

namespace __gnu_cxx {

// libstdc++'s default terminate handler prints the demangled type of an
// uncaught exception, which links in a 45 KB demangler. A GUI program has no
// console to print to, so ending at once is all it would do anyway.
void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx

namespace {

// What the containers throw for a length beyond max_size(), a null string
// pointer or a position out of range. The library's own classes for these keep
// a reference-counted copy of the message, and with it a second string
// implementation, the random device it links to, and the narrow string: about
// 55 KB. Nothing here catches them by type; a task's guard catches everything,
// so a failed operation still ends only its task, and the message needs no copy.
class LibraryError final : public std::exception {
  public:
    explicit LibraryError(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

  private:
    const char* message_;
};

}  // namespace

// The helpers through which the library's inline code throws (but for
// bad_function_call, whose helper comes with its class). Defined here, the
// library's own are never linked; should it need one missing here, the link
// fails on the duplicates rather than quietly taking the large ones.
namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

void __throw_length_error(const char* message) {
    throw LibraryError(message);
}

void __throw_logic_error(const char* message) {
    throw LibraryError(message);
}

// The position is left out of the message: nothing shows it.
void __throw_out_of_range_fmt(const char* format, ...) {
    throw LibraryError(format);
}

}  // namespace std
