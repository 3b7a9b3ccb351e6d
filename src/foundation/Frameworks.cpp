#include "foundation/Frameworks.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <string>

#include "platform/PlatformSystem.h"
#include "platform/PlatformTime.h"
#include "platform/QuickDrawColor.h"

struct FrameworkBundle {
  std::map<std::string, void*> functions;
};

DateTimeRec mainDATE;
Boolean bsdLoaded = 0;

namespace {

std::map<std::string, FrameworkBundle>& Frameworks() {
  static std::map<std::string, FrameworkBundle> frameworks = {
      {"Carbon.framework", {}}, {"ApplicationServices.framework", {}}, {"CoreAudio.framework", {}}};
  return frameworks;
}

// The cursor hook until the shell installs its own: no cursor to set yet.
void NoCursor() {}
void (*arrowCursor)() = NoCursor;
int (*readSystemValue)(const char*, void*, size_t*) = PlatformReadSystemValue;

}  // namespace

OSErr LoadFrameworkBundle(CFStringRef frameworkName, CFBundleRef* bundle) {
  *bundle = nullptr;
  if (!frameworkName) return coreFoundationUnknownErr;
  auto found = Frameworks().find(frameworkName);
  if (found == Frameworks().end()) return coreFoundationUnknownErr;
  *bundle = &found->second;
  return noErr;
}

void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef name) {
  if (!bundle || !name) return nullptr;
  auto found = bundle->functions.find(name);
  return found == bundle->functions.end() ? nullptr : found->second;
}

void RegisterFrameworkFunction(const char* framework, const char* name, void* function) {
  FrameworkBundle& bundle = Frameworks()[framework];
  if (function)
    bundle.functions[name] = function;
  else
    bundle.functions.erase(name);
}

void CheckMainDate() {
  time_t now = time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  mainDATE = DateTimeRec{SInt16(local.tm_year + 1900), SInt16(local.tm_mon + 1), SInt16(local.tm_mday),
                         SInt16(local.tm_hour),        SInt16(local.tm_min),     SInt16(local.tm_sec),
                         SInt16(local.tm_wday + 1)};
}

void SetApplCursor() { arrowCursor(); }

void SetApplCursorBackEnd(void (*arrow)()) { arrowCursor = arrow ? arrow : NoCursor; }

OSErr FindRunningAppBySignature(UInt32, UInt32, ProcessSerialNumber*, FSSpec*) { return procNotFound; }

Boolean InRosetta() {
  static int translated = -1;
  if (translated < 0) translated = is_pid_native(0) == 0;
  return Boolean(translated);
}

int is_pid_native(int pid) {
  int native = 0;
  size_t size = sizeof native;
  if (sysctlbyname_with_pid("sysctl.proc_native", pid, &native, &size, nullptr, 0) == 0) return native;
  return errno == ENOENT ? 1 : -1;
}

int sysctlbyname_with_pid(const char* name, int pid, void* oldp, size_t* oldlenp, void* newp, size_t) {
  // Values are read for the system as a whole; none is kept per process,
  // and none may be written.
  if (newp || pid < 0) {
    errno = EPERM;
    return -1;
  }
  if (pid != 0) {
    errno = ENOENT;
    return -1;
  }
  return readSystemValue(name, oldp, oldlenp) == 0 ? 0 : -1;
}

void SetSystemValueReader(int (*reader)(const char*, void*, size_t*)) {
  readSystemValue = reader ? reader : PlatformReadSystemValue;
}

OSErr InitBSD() {
  bsdLoaded = 1;
  return noErr;
}

// Nothing to load here: launching goes through the platform layer, which is
// always linked.
void ImportLaunchServicesFramework() {}

// Does nothing: there is no speech service this program can count on on a
// Linux desktop, and nothing in the game depends on hearing the text.
void SpeakString(const char*) {}

void EmptyCallback() {
  SpeakString("testing");
  Delay(60);
}

Initializer::Initializer(void* p, int n) {
  if (p && n > 0) memset(p, 0, size_t(n));
}

Boolean CoordInRgn(SInt16 h, SInt16 v, RgnHandle region) {
  Point pt;
  SetPt(&pt, h, v);
  return PtInRgn(pt, region);
}
