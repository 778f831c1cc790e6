#pragma once

#include <windows.h>

// What screen readers hear of a control: the system's own accessible object
// for it, with the few answers the program gives itself put first.
namespace torvane {

enum class AccessibleText { Name, Description, DefaultAction };

// The program's own answers for one or more controls, asked on the window's
// thread for the object itself (CHILDID_SELF) or one of its children (child
// ids count from 1). Each returns null or false to leave the question to the
// system's object; a text stays valid until the next question.
class AccessibleAnswers {
  public:
    virtual const wchar_t* Text(AccessibleText which, HWND control, LONG child);
    virtual bool Role(HWND control, LONG child, LONG& role);
    virtual bool DoDefaultAction(HWND control, LONG child, HRESULT& result);

  protected:
    ~AccessibleAnswers() = default;
};

// A control's messages for screen readers, for its subclass to hand here
// before the control's own procedure: true when this took the message, with
// the result its sender gets.
//  - WM_GETOBJECT for the control's client area gets a new object, which
//    answers as the system's own object for the control does, except what
//    these answers take. Every other object id, UI Automation's included, is
//    left to the control's default handling, as is a request that cannot be
//    answered.
//  - The object asks the control for these answers each time it needs them,
//    so that one a client still holds after the control has gone asks only
//    the system's object, which answers as it does for any window that has
//    gone.
bool OnAccessibilityMessage(HWND control, AccessibleAnswers& answers, UINT message, WPARAM wParam,
                            LPARAM lParam, LRESULT& result);

}  // namespace torvane
