// libstdc++'s default terminate handler prints the demangled type of an
// uncaught exception, which links in a 45 KB demangler. A GUI program has no
// console to print to, so ending at once is all it would do anyway.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
