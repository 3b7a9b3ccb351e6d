#include "shell/AppleEvents.h"

#include <cstring>

#include "foundation/ErrorDialog.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/Startup.h"

bool quitEVENT, prefsEVENT;
AEEventHandlerProcPtr oldAEOpenHandler, oldAEPrintHandler, oldAEQuitHandler, oldAEShowPreferences, oldAEGetURL,
    oldAESimpleHandler;
SInt32 oldAEOpenRefCon, oldAEPrintRefCon, oldAEQuitRefCon, oldAEPrefsRefCon, oldAEGetURLRefCon, oldAESimpleRefCon;
AEIdleProcPtr gAEIdleUPP;

namespace {

char myURL[1100];

// Remembers the handler installed before ours, then installs ours. Our own
// handler found there (a second start) is not chained to itself.
void Install(UInt32 eventClass, UInt32 eventID, AEEventHandlerProcPtr handler, AEEventHandlerProcPtr* old,
             SInt32* oldRefCon) {
  OSErr error = AEGetEventHandler(eventClass, eventID, old, oldRefCon);
  if (error == errAEHandlerNotFound || (error == noErr && *old == handler)) {
    *old = nullptr;
    *oldRefCon = 0;
  } else if (error) {
    ErrorDialog("There was a problem with apple events", error, 0, 1);
  }
  error = AEInstallEventHandler(eventClass, eventID, handler, 0);
  if (error) ErrorDialog("There was a problem with apple events", error, 0, 1);
}

OSErr Chain(AEEventHandlerProcPtr old, SInt32 refCon, const AppleEvent* event, AppleEvent* reply, OSErr alone) {
  return old ? OSErr(old(event, reply, refCon)) : alone;
}

// A high-level event of the event layer: the class in the message, the ID in
// the position.
void DispatchHighLevel(EventRecord* record) {
  UInt32 id = UInt32(UInt16(record->where.v)) << 16 | UInt16(record->where.h);
  AppleEvent event{record->message, id, false, {}, {}, {}};
  AEProcessAppleEvent(&event);
}

}  // namespace

void InitAppleEvents() {
  Install(kAECoreEventClass, kAEOpenApplication, AEOpenHandler, &oldAEOpenHandler, &oldAEOpenRefCon);
  Install(kAECoreEventClass, kAEPrintDocuments, AEPrintHandler, &oldAEPrintHandler, &oldAEPrintRefCon);
  Install(kAECoreEventClass, kAEQuitApplicationID, AEQuitHandler, &oldAEQuitHandler, &oldAEQuitRefCon);
  if (OSXMode())
    Install(kAECoreEventClass, kAEShowPreferences, AEShowPreferences, &oldAEShowPreferences, &oldAEPrefsRefCon);
  Install(kInternetEventClass, kAEGetURL, AEGetURL, &oldAEGetURL, &oldAEGetURLRefCon);
  Install(kSimpleEventClass, kSimpleEventID, AESimpleHandler, &oldAESimpleHandler, &oldAESimpleRefCon);
  APPL.InitLocalAppleEvents();
  gAEIdleUPP = idleProc;
  highLevelEventProc = DispatchHighLevel;
}

OSErr AEOpenHandler(const AppleEvent* event, AppleEvent* reply, SInt32) {
  return Chain(oldAEOpenHandler, oldAEOpenRefCon, event, reply, noErr);
}

OSErr AEPrintHandler(const AppleEvent* event, AppleEvent* reply, SInt32) {
  return Chain(oldAEPrintHandler, oldAEPrintRefCon, event, reply, errAEEventNotHandled);
}

OSErr AEQuitHandler(const AppleEvent* event, AppleEvent* reply, SInt32) {
  quitEVENT = true;
  return Chain(oldAEQuitHandler, oldAEQuitRefCon, event, reply, noErr);
}

OSErr AEShowPreferences(const AppleEvent* event, AppleEvent* reply, SInt32) {
  prefsEVENT = true;
  return Chain(oldAEShowPreferences, oldAEPrefsRefCon, event, reply, noErr);
}

// A malformed event answers its error instead of ending the program: it
// comes from outside. A URL is cut to fit the buffer with its terminator.
OSErr AEGetURL(const AppleEvent* event, AppleEvent* reply, SInt32) {
  const std::vector<std::string>* list = nullptr;
  OSErr error = AEGetDirectList(event, &list);
  if (error) return error;
  for (const std::string& item : *list) {
    size_t n = std::min(item.size(), sizeof myURL - 1);
    memcpy(myURL, item.data(), n);
    myURL[n] = 0;
    APPL.AE_GetURL(myURL);
  }
  return Chain(oldAEGetURL, oldAEGetURLRefCon, event, reply, noErr);
}

OSErr AESimpleHandler(const AppleEvent* event, AppleEvent* reply, SInt32) {
  if (AEInteractWithUser() != errAENoUserInteraction)
    AlertDialog("This application received a script command it does not support.", "", "OK");
  return Chain(oldAESimpleHandler, oldAESimpleRefCon, event, reply, noErr);
}

// Not installed by InitAppleEvents. The items are the files' paths; nothing
// here opens them: the application's hook is told that they have come.
OSErr AEOpenDocHandler(const AppleEvent* event, AppleEvent*, SInt32) {
  const std::vector<std::string>* list = nullptr;
  OSErr error = AEGetDirectList(event, &list);
  if (error) return error;
  APPL.AE_OpenFilesDone();
  return noErr;
}

bool idleProc(EventRecord* event, SInt32* sleep, void**) {
  if (event->what == nullEvent) *sleep = 0;
  return false;
}

void SendCoreEvent(UInt32 eventID) {
  EventRecord record{};
  record.what = kHighLevelEvent;
  record.message = kAECoreEventClass;
  record.where = Point{SInt16(eventID >> 16), SInt16(eventID & 0xFFFF)};
  DoHighLevel(&record);
}
