// Starting other programs: a link or file handed to the desktop's opener
// ("xdg-open", given as an argument, never through a shell).
#pragma once

#include <string>
#include <vector>

#include "platform/PlatformTypes.h"

// Starts `argv[0]` (searched on PATH) with the arguments and does not wait
// for it. 0 started, fnfErr when it cannot be started.
typedef OSErr (*LaunchProc)(const std::vector<std::string>& argv);
OSErr LaunchProgram(const std::vector<std::string>& argv);
// Test seam: replaces the launcher (null: back to the real one); answers the
// previous one.
LaunchProc SetLaunchProc(LaunchProc proc);
