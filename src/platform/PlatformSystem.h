// What the engine asks of the system itself.
#pragma once

#include <cstddef>

#include "platform/PlatformTypes.h"

// The kernel's version packed as the engine's system version number:
// major in binary-coded decimal in bits 15-8, minor and patch level one
// decimal digit each (capped at 9) in bits 7-4 and 3-0; Linux 6.1.55 gives
// 0x0619. False when the version cannot be read.
bool PlatformSystemVersion(SInt32* version);
// Parses a kernel release text such as "6.1.0-13-amd64" the same way.
bool PackSystemVersion(const char* release, SInt32* version);

// The running process's id.
UInt32 PlatformProcessID();

// From now on every block of 128 KiB or more is a mapping of its own, given
// back to the system when freed. The C library otherwise raises that size
// after each big block freed, and the big blocks that follow (decoded
// pictures, the renderer's texture storage) then come from its heap, where
// their memory stays resident after they are freed.
void ReturnBigBlocksToTheSystem();
// The size from which blocks are mappings of their own.
constexpr size_t kOwnMappingBytes = 128 * 1024;

// Reads the kernel parameter `name` (dots for slashes under /proc/sys):
// an integer value when *length is the size of an int, else the text.
// 0, or -1 with errno set (ENOENT for a name the system lacks).
int PlatformReadSystemValue(const char* name, void* value, size_t* length);

// Termination signals (SIGTERM, SIGINT, SIGHUP): once watched, their arrival
// is recorded, and whatever handled them before (the event layer queues a
// quit event) still runs. A signal is a request to end now, not a person
// who could answer a question.
void WatchTerminationSignals();
bool TerminationSignalled();
// Puts back the handling from before the watch, and forgets a recorded
// signal (for tests).
void UnwatchTerminationSignals();
void ClearTerminationSignal();

// Runs work(data) in a child process, so that a fault inside it (a signal
// such as SIGFPE or SIGSEGV from a library fed damaged data, an abort, a
// loop) cannot end or stall the caller. True only when work returned true
// within `seconds`; the child is then ended (killed, if it runs on). It
// shares nothing with the caller afterwards: what work changes stays in the
// child, and it ends without running exit handlers.
bool PlatformRunIsolated(bool (*work)(void* data), void* data, double seconds);
// The same in two halves, so that the caller goes on while the child works:
// Start forks (null when it cannot). Finish gives the verdict, ends the
// child and frees the run: a verdict the child has written is read however
// late it is asked for; for a child still at work it waits until `seconds`
// after the start, and the work then counts as failed.
struct IsolatedRun;
IsolatedRun* PlatformStartIsolated(bool (*work)(void* data), void* data);
bool PlatformFinishIsolated(IsolatedRun* run, double seconds);
// Without waiting: whether the child has ended. An ended child is reaped at
// once (so none stays behind as a zombie) and its verdict kept for Finish.
bool PlatformIsolatedEnded(IsolatedRun* run);
