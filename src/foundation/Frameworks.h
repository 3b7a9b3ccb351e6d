// Framework loading and small system probes.
//
// Frameworks are an in-process registry: a framework is a name with a table
// of functions that the layers above register at start-up (the window code
// its full-screen mode switch, the sound code its device calls ...). Code
// that wants an optional function loads the framework by name and looks the
// function up; a function nobody registered is a feature that is absent.
// "Carbon.framework", "ApplicationServices.framework" and
// "CoreAudio.framework" always load; an unknown framework fails with -4960.
#pragma once

#include <cstddef>

#include "platform/PlatformTypes.h"
#include "platform/QuickDraw.h"

typedef const char* CFStringRef;
struct FrameworkBundle;
typedef FrameworkBundle* CFBundleRef;

enum : OSErr {
  procNotFound = -600,
  coreFoundationUnknownErr = -4960,
};

OSErr LoadFrameworkBundle(CFStringRef frameworkName, CFBundleRef* bundle);
// The function registered under `name` in the bundle, or null.
void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef name);
// Adds (or replaces) a function of a framework, making the framework
// loadable; a null function removes the entry.
void RegisterFrameworkFunction(const char* framework, const char* name, void* function);

extern DateTimeRec mainDATE;
void CheckMainDate();

// Sets the arrow cursor through the back end the shell installs (none
// until then).
void SetApplCursor();
void SetApplCursorBackEnd(void (*arrow)());

struct FSSpec;
// No process carries a signature on Linux: the walk finds none.
OSErr FindRunningAppBySignature(UInt32 type, UInt32 creator, ProcessSerialNumber* psn, FSSpec* spec);

Boolean InRosetta();
int is_pid_native(int pid);
int sysctlbyname_with_pid(const char* name, int pid, void* oldp, size_t* oldlenp, void* newp, size_t newlen);
// Test seam: the reader behind sysctlbyname_with_pid (null restores the
// system's).
void SetSystemValueReader(int (*reader)(const char* name, void* value, size_t* length));

extern Boolean bsdLoaded;
OSErr InitBSD();
void ImportLaunchServicesFramework();
// Whether the point (h, v) lies in the region.
Boolean CoordInRgn(SInt16 h, SInt16 v, RgnHandle region);
// There is no speech synthesis: the text is dropped.
void SpeakString(const char* text);
// A test callback: "speaks" and waits 60 ticks.
void EmptyCallback();

// Zeroes n bytes at p when constructed.
struct Initializer {
  Initializer(void* p, int n);
};
