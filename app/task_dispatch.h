#pragma once

#include <functional>
#include <string>

#include "tweaks/tweak_context.h"

namespace torvane {

// Runs the task whose text equals taskText exactly (no trimming, no case folding).
// Returns false, and does nothing, when no task has that text. An exception
// thrown by the task is reported to the user and goes no further.
bool DispatchTask(const std::wstring& taskText, TweakContext& context);

// Runs an action of the window's the same way: the window survives whatever
// the action runs into, and the user hears of it once.
void RunGuarded(TweakContext& context, const std::function<void()>& action);

}  // namespace torvane
