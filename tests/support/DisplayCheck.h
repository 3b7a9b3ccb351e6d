// For tests that need a display (SDL's video, a window, an OpenGL context).
#pragma once

#include <string>

// DISPLAY names an X display.
bool DisplayNamed();

// Reports that what the test needs could not be opened: with CI set a fatal
// failure (CI always provides a display), else a skip (a developer's machine
// may have none). Either way the test body does not run when this is called
// from SetUp; the caller returns.
void ReportNoDisplay(const std::string& why);
