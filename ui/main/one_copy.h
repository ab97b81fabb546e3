// One copy of the program for each user in each session: every copy writes
// all its settings as it closes, so a second one would undo the first one's
// edits. A second start brings the running copy's window forward instead.
#pragma once

#include <windows.h>

#include <optional>

#include "win/handles.h"

namespace daymarker {

// Makes this process the user's one copy in this session: the claim it
// holds until its settings are saved (empty where none can be had, and the
// program runs all the same). Nothing where another copy runs: that one has
// been asked to show its window, and this one ends.
std::optional<ScopedKernelHandle> ClaimOneCopy();

// What a second start sends the running copy's main window.
UINT SecondStartMessage();

}  // namespace daymarker
