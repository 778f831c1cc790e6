#include <algorithm>

#include "tweaks/reg_file_form.h"

namespace torvane::reg_file_form {
namespace {

bool Before(const Keyed& a, const Keyed& b) {
    if (a.group != b.group) return a.group < b.group;
    if (const int c = Compare(a.text, b.text)) return c < 0;
    return a.order < b.order;
}

}  // namespace

TORVANE_OUT_OF_LINE int Compare(std::wstring_view a, std::wstring_view b) {
    return a.compare(b);
}

bool SameKey(const Keyed& a, const Keyed& b) {
    return a.group == b.group && Compare(a.text, b.text) == 0;
}

void Sort(std::vector<Keyed>& items) {
    const size_t n = items.size();
    std::vector<Keyed> merged(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t low = 0; low < n; low += 2 * width) {
            const size_t middle = std::min(low + width, n);
            const size_t high = std::min(low + 2 * width, n);
            size_t left = low;
            size_t right = middle;
            for (size_t k = low; k < high; ++k) {
                const bool takeLeft =
                    right == high || (left < middle && !Before(items[right], items[left]));
                merged[k] = takeLeft ? items[left++] : items[right++];
            }
        }
        items.swap(merged);
    }
}

size_t FirstRepeat(std::vector<Keyed>& items) {
    Sort(items);
    size_t first = 0;
    for (size_t i = 1; i < items.size(); ++i) {
        if (SameKey(items[i], items[i - 1]) && (first == 0 || items[i].order < first)) {
            first = items[i].order;
        }
    }
    return first;
}

}  // namespace torvane::reg_file_form
