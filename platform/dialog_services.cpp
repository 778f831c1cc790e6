#include "platform/dialog_services.h"

namespace torvane {

void FileDialog::Show(bool save) {
    // A cancel must never leave an earlier choice behind to act on.
    fileName_.clear();
    static const std::wstring kNone;
    const auto chosen = Choose({save, filter_, save ? defaultExtension_ : kNone, lastChoice_});
    if (!chosen || chosen->empty()) return;
    fileName_ = *chosen;
    lastChoice_ = *chosen;
}

std::wstring FileDialog::FileTitle() const {
    return FileNameWithoutFolder(fileName_);
}

std::wstring FilterToDoubleNulList(const std::wstring& filter) {
    std::wstring list = filter;
    for (wchar_t& c : list) {
        if (c == L'|') c = L'\0';
    }
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

std::wstring FileNameWithoutFolder(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace torvane
