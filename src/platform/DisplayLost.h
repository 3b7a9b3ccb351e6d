// When the program's display goes away under it (the X server ends, or the
// connection to it breaks), nothing more can be drawn or asked of it, and
// the ordinary way out would talk to it again and wait for ever. The
// program then runs the handler installed here, which saves what it can
// without the display, and ends at once with status 1, running no exit
// handlers.
#pragma once

typedef void (*DisplayLostProc)();
// Installs the handler (null: none); returns the one installed before.
DisplayLostProc SetDisplayLostHandler(DisplayLostProc proc);
// What the platform calls once it knows the display is gone: the handler
// (once), then the end of the process.
[[noreturn]] void DisplayLost();
