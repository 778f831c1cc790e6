#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/accessible_wrapper.h"

namespace torvane {

// The four category labels as a screen reader sees them: links whose default
// action, "切换", shows their category as a keyboard switch does. Each label's
// window procedure is subclassed to hand their messages for screen readers on.
class CategoryLinks : public AccessibleAnswers {
  public:
    CategoryLinks() = default;
    CategoryLinks(const CategoryLinks&) = delete;
    CategoryLinks& operator=(const CategoryLinks&) = delete;

    // Label1 … Label4; a switch is posted to window.
    void Attach(const std::array<HWND, 4>& labels, HWND window);

    const wchar_t* Text(AccessibleText which, HWND label, LONG child) override;
    bool Role(HWND label, LONG child, LONG& role) override;
    bool DoDefaultAction(HWND label, LONG child, HRESULT& result) override;

  private:
    static LRESULT CALLBACK Proc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::array<WNDPROC, 4> originals_{};
};

}  // namespace torvane
