#include "foundation/ErrorDialog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void ToPascal(const char* c, unsigned char* p) {
  size_t n = c ? strlen(c) : 0;
  if (n > 255) n = 255;
  p[0] = (unsigned char)n;
  if (n) memcpy(p + 1, c, n);
}

void NumberToPascal(SInt32 n, unsigned char* p) {
  char text[16];
  snprintf(text, sizeof text, "%d", (int)n);
  ToPascal(text, p);
}

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
  Str255 m, w;
  ToPascal(message, m);
  ToPascal(where, w);
  ErrorDialog(m, w, flag, fatal);
}

void ErrorDialog(const char* message, SInt16 code, unsigned char flag, unsigned char fatal) {
  Str255 m, w;
  ToPascal(message, m);
  NumberToPascal(code, w);
  ErrorDialog(m, w, flag, fatal);
}

void ErrorDialog(const unsigned char* message, SInt16 code, unsigned char flag, unsigned char fatal) {
  Str255 w;
  NumberToPascal(code, w);
  ErrorDialog(message, w, flag, fatal);
}

void ErrorDialog(const unsigned char*, const unsigned char*, unsigned char) { backEnd->beepAndShutdown(); }

void AlertDialog(const unsigned char* message, const unsigned char* detail, const char* button) {
  static const unsigned char empty[1] = {0};
  backEnd->alert(message ? message : empty, detail ? detail : empty, button ? button : "OK");
}

void AlertDialog(const char* message, const char* detail, const char* button) {
  Str255 m, d;
  ToPascal(message, m);
  ToPascal(detail, d);
  AlertDialog(m, d, button);
}

void AlertDialog(SInt32 message, SInt32 detail, const char* button) {
  Str255 m, d;
  NumberToPascal(message, m);
  NumberToPascal(detail, d);
  AlertDialog(m, d, button);
}

void AlertDialog(const unsigned char* message, SInt32 detail, const char* button) {
  Str255 d;
  NumberToPascal(detail, d);
  AlertDialog(message, d, button);
}

void AlertDialog(const char* message, SInt32 detail, const char* button) {
  Str255 m, d;
  ToPascal(message, m);
  NumberToPascal(detail, d);
  AlertDialog(m, d, button);
}

void AlertDialog(const unsigned char*, const unsigned char*, unsigned char) {}
void AlertDialog(const unsigned char*, const unsigned char*) {}

void DebugDialog(const char*, const char*, unsigned char) {}
void DebugDialog(const unsigned char*, const unsigned char*, unsigned char) {}
void DebugDialog(const char*, SInt32, unsigned char) {}
void DebugDialog(const unsigned char*, SInt32, unsigned char) {}
void DebugDialog(SInt32, SInt32, unsigned char) {}
