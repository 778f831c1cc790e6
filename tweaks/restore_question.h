#pragma once

#include <string>
#include <vector>

#include "tweaks/original_values.h"

// The question asked before originals are put back, laid out to be read at a
// glance: each value once, under the task that writes it, with the task's key
// named once.
namespace torvane {

struct RestoreQuestion {
    std::wstring text;
    // Every value asked about, in the order the question lists them, those
    // left out for room included: Yes puts back these and no others. They
    // point into the originals the question was built from.
    std::vector<const Original*> values;
};

// Each original goes under the first task in catalogue order that writes it,
// of those being put back: the one task, or every task when task is null; an
// original of no such task is not asked about. Reads each value as it is now,
// and asks the dialogs how many lines a message box holds: a question longer
// than that shows what fits and counts the rest.
RestoreQuestion BuildRestoreQuestion(TweakContext& context, const std::vector<Original>& originals,
                                     const TaskDescription* task);

}  // namespace torvane
