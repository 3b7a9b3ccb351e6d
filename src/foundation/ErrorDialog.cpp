#include "foundation/ErrorDialog.h"

#include <cstdio>
#include <cstdlib>

#include "foundation/StringLibrary.h"

namespace {

void WritePascal(const unsigned char* p) {
  if (p) fwrite(p + 1, 1, p[0], stderr);
  fputc('\n', stderr);
}

void StderrError(const unsigned char* message, const unsigned char* where, unsigned char fatal) {
  fputs("Error:  ", stderr);
  WritePascal(message);
  WritePascal(where);
  if (fatal) exit(1);
}

void StderrAlert(const unsigned char* message, const unsigned char* detail, const char*) {
  WritePascal(message);
  WritePascal(detail);
}

void StderrBeepAndShutdown() { exit(1); }

const DialogBackEnd stderrBackEnd = {StderrError, StderrAlert, StderrBeepAndShutdown};
const DialogBackEnd* backEnd = &stderrBackEnd;

}  // namespace

const DialogBackEnd* SetDialogBackEnd(const DialogBackEnd* next) {
  const DialogBackEnd* previous = backEnd;
  backEnd = next ? next : &stderrBackEnd;
  return previous;
}

void ErrorDialog(const unsigned char* message, const unsigned char* where, unsigned char, unsigned char fatal) {
  static const unsigned char empty[1] = {0};
  backEnd->error(message ? message : empty, where ? where : empty, fatal);
}

void ErrorDialog(const char* message, const char* where, unsigned char flag, unsigned char fatal) {
  ErrorDialog(PStr(message), PStr(where), flag, fatal);
}

void ErrorDialog(const char* message, SInt16 code, unsigned char flag, unsigned char fatal) {
  ErrorDialog(PStr(message), PStr(Str("%d", code)), flag, fatal);
}

void ErrorDialog(const unsigned char* message, SInt16 code, unsigned char flag, unsigned char fatal) {
  ErrorDialog(message, PStr(Str("%d", code)), flag, fatal);
}

// Ends the program with a beep, after showing the error so that the user
// learns why.
void ErrorDialog(const unsigned char* message, const unsigned char* where, unsigned char flag) {
  ErrorDialog(message, where, flag, 1);
  backEnd->beepAndShutdown();
}

void AlertDialog(const unsigned char* message, const unsigned char* detail, const char* button) {
  static const unsigned char empty[1] = {0};
  backEnd->alert(message ? message : empty, detail ? detail : empty, button ? button : "OK");
}

void AlertDialog(const char* message, const char* detail, const char* button) {
  AlertDialog(PStr(message), PStr(detail), button);
}

void AlertDialog(SInt32 message, SInt32 detail, const char* button) {
  AlertDialog(PStr(Str("%d", message)), PStr(Str("%d", detail)), button);
}

void AlertDialog(const unsigned char* message, SInt32 detail, const char* button) {
  AlertDialog(message, PStr(Str("%d", detail)), button);
}

void AlertDialog(const char* message, SInt32 detail, const char* button) {
  AlertDialog(PStr(message), PStr(Str("%d", detail)), button);
}

// The length-prefixed alerts without a button text, and every debug report,
// show nothing: the engine keeps them for debugging builds of its own.
void AlertDialog(const unsigned char*, const unsigned char*, unsigned char) {}
void AlertDialog(const unsigned char*, const unsigned char*) {}

void DebugDialog(const char*, const char*, unsigned char) {}
void DebugDialog(const unsigned char*, const unsigned char*, unsigned char) {}
void DebugDialog(const char*, SInt32, unsigned char) {}
void DebugDialog(const unsigned char*, SInt32, unsigned char) {}
void DebugDialog(SInt32, SInt32, unsigned char) {}
