#include "app/accessible_label.h"

#include <oleacc.h>

#include "app/control_ids.h"
#include "app/form1.h"

namespace torvane {
namespace {

// Label1 … Label4 are 1 … 4.
int LabelNumber(HWND label) {
    return static_cast<int>(GetWindowLongPtrW(label, GWLP_ID)) - IDC_LABEL1 + 1;
}

}  // namespace

void CategoryLinks::Attach(const std::array<HWND, 4>& labels, HWND window) {
    window_ = window;
    for (HWND label : labels) {
        SetWindowLongPtrW(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        originals_[LabelNumber(label) - 1] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
}

const wchar_t* CategoryLinks::Text(AccessibleText which, HWND, LONG child) {
    return which == AccessibleText::DefaultAction && child == CHILDID_SELF ? L"切换" : nullptr;
}

bool CategoryLinks::Role(HWND, LONG child, LONG& role) {
    if (child != CHILDID_SELF) return false;
    role = ROLE_SYSTEM_LINK;
    return true;
}

// Posted, not run here: the switch moves the focus and raises events, which
// belong in the window's own loop rather than inside a client's call.
bool CategoryLinks::DoDefaultAction(HWND label, LONG child, HRESULT& result) {
    if (child != CHILDID_SELF) return false;
    result = PostMessageW(window_, kShowCategoryMessage, static_cast<WPARAM>(LabelNumber(label)), 0)
                 ? S_OK
                 : HRESULT_FROM_WIN32(GetLastError());
    return true;
}

LRESULT CALLBACK CategoryLinks::Proc(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CategoryLinks*>(GetWindowLongPtrW(label, GWLP_USERDATA));
    const WNDPROC original = self->originals_[LabelNumber(label) - 1];
    LRESULT result = 0;
    if (OnAccessibilityMessage(label, *self, message, wParam, lParam, result)) return result;
    if (message == WM_NCDESTROY)
        SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    return CallWindowProcW(original, label, message, wParam, lParam);
}

}  // namespace torvane
