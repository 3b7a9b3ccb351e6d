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

// Runs `argv[0]` (searched on PATH) with the arguments and waits for it, at
// most `timeoutMs`; its standard output (the first 64 KB) goes to `output`
// when given. The exit status, 127 when it cannot be started, -1 when it
// ended by a signal or ran out of time (it is then killed with every
// process it started: it runs in a process group of its own).
typedef int (*RunProc)(const std::vector<std::string>& argv, std::string* output, int timeoutMs);
int RunProgram(const std::vector<std::string>& argv, std::string* output, int timeoutMs);
// Test seam, as SetLaunchProc.
RunProc SetRunProc(RunProc proc);
