#include "app/win32_list_view.h"

#include <commctrl.h>

#include <vector>

namespace torvane {

void Win32ListView::RemoveAllItems() {
    ListView_DeleteAllItems(listView_);
}

void Win32ListView::AddItem(std::int16_t index, const std::wstring& text, std::int16_t picture) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index - 1;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = picture - 1;
    SendMessageW(listView_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

std::wstring ListItemText(HWND listView, int index) {
    // The list answers with as much as fits; grow until the text is whole.
    for (size_t capacity = 64;; capacity *= 2) {
        std::vector<wchar_t> buffer(capacity, L'\0');
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(capacity);
        const auto length = static_cast<size_t>(
            SendMessageW(listView, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < capacity) return std::wstring(buffer.data(), length);
    }
}

std::optional<std::wstring> Win32ListView::SelectedItemText() {
    const int selected = ListView_GetNextItem(listView_, -1, LVNI_SELECTED);
    if (selected < 0) return std::nullopt;
    return ListItemText(listView_, selected);
}

}  // namespace torvane
