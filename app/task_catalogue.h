#pragma once

#include <cstdint>
#include <span>

#include "tweaks/tweak_context.h"

namespace torvane {

using TaskOperation = void (*)(TweakContext&);

struct TaskEntry {
    const wchar_t* text;  // shown in the list, and the key that finds the operation
    TaskOperation operation;
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

}  // namespace torvane
