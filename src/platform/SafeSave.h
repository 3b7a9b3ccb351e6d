// The one routine through which the program writes a whole file
// (preferences, scores, exported property lists, any other save).
//
// SafeSaveFile(path, bytes, count):
//   0. finds the file to replace: `path`, or the end of the chain of
//      symbolic links at `path` (also when that file does not exist yet: a
//      dangling link is written through, never replaced by a file). An
//      existing file without any write permission is not replaced: the save
//      answers -54 and changes nothing. Temporary files of earlier saves of
//      the same file by processes that no longer exist are removed;
//   1. creates a temporary file beside the file (same folder, so the rename
//      below stays on one file system), with the old file's permissions plus
//      read and write for the owner;
//   2. writes all `count` bytes; a short write is a failure;
//   3. fsync()s and closes it;
//   4. renames it over `path` (a symbolic link at `path` is followed, so the
//      file it names is replaced and the link kept);
//   5. fsync()s the folder, so that the rename itself is on disk.
// SIGXFSZ is ignored (unless the program handles it), so a save past a
// file-size limit fails with an error instead of ending the program.
// It answers 0, or the error of the step that failed as an engine code
// (-34 disk full, -54 permission, -43 folder missing, -36 other input/output
// errors ...). A failure at steps 1 to 4 removes the temporary file and
// leaves the old file exactly as it was. A failure at step 5 comes after the
// rename: the file then holds the whole new content, but the result is still
// the error, because the save is not known to be durable.
//
// A caller that reports a write failure as -1 (the stream forms of the
// property-list writer) turns any non-zero result into -1.
#pragma once

#include <string>

#include "platform/PlatformTypes.h"

OSErr SafeSaveFile(const std::string& path, const void* bytes, SInt64 count);

// Test seam: makes the given step of every later save fail with `error`
// (an errno value) until reset with kSafeSaveNoFailure. An injected write
// failure first writes half of the bytes, as a full disk would.
enum SafeSaveStep {
  kSafeSaveNoFailure,
  kSafeSaveCreate,
  kSafeSaveWrite,
  kSafeSaveSync,
  kSafeSaveClose,
  kSafeSaveRename,
  kSafeSaveSyncFolder,
};
void SetSafeSaveFailure(SafeSaveStep step, int error);
