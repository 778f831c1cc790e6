#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "tweaks/task_tips.h"
#include "tweaks/tweak_context.h"

namespace torvane {

using TaskOperation = void (*)(TweakContext&);

struct TaskEntry {
    const wchar_t* text;  // shown in the list, and the key that finds the operation
    TaskOperation operation;
    const TaskDescription* description;  // what its tip says, beside the operation
};

struct TaskCategory {
    int labelNumber;  // Label1 … Label4
    const wchar_t* caption;
    std::int16_t picture;  // 1-based number in ImageList1
    std::span<const TaskEntry> tasks;
};

// The four categories in label order; their tasks, read in this order, are the
// dispatch order.
std::span<const TaskCategory> TaskCatalogue();

// The label number step places after labelNumber in the labels' order (before
// it for a negative step), wrapping from the last to the first and back.
int CategoryBeside(int labelNumber, int step);

// The task whose text equals taskText exactly, or null.
const TaskEntry* FindTask(const std::wstring& taskText);

// The tip of the task whose text equals taskText exactly, read fresh from the
// registry; "" when no task has that text.
std::wstring TaskTip(const std::wstring& taskText, TweakContext& context);

}  // namespace torvane
