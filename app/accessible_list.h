#pragma once

#include <windows.h>

#include "app/form1_handlers.h"
#include "platform/win32/accessible_wrapper.h"
#include "tweaks/tweak_context.h"

namespace torvane {

// What a screen reader hears of ListView1: its name is the category shown,
// and each task's description is the task's tip, built when asked.
class TaskListAccessibility : public AccessibleAnswers {
  public:
    TaskListAccessibility(TweakContext& context, const Form1Handlers& handlers)
        : context_(context), handlers_(handlers) {}
    TaskListAccessibility(const TaskListAccessibility&) = delete;
    TaskListAccessibility& operator=(const TaskListAccessibility&) = delete;

    // The list's name and each task's description.
    const wchar_t* Text(AccessibleText which, HWND list, LONG child) override;

  private:
    TweakContext& context_;
    const Form1Handlers& handlers_;
    std::wstring tip_;  // the description last given
};

}  // namespace torvane
