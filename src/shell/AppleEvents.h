// The Apple events every application answers: open, print, quit,
// preferences, get URL and the simple script event. Quit and preferences only
// raise quitEVENT and prefsEVENT, which the application's event handler reads
// and clears. Each handler passes the event on to the one installed before.
#pragma once

#include "platform/AppleEventModel.h"

struct EventRecord;

extern bool quitEVENT, prefsEVENT;
extern AEEventHandlerProcPtr oldAEOpenHandler, oldAEPrintHandler, oldAEQuitHandler, oldAEShowPreferences, oldAEGetURL,
    oldAESimpleHandler;
extern SInt32 oldAEOpenRefCon, oldAEPrintRefCon, oldAEQuitRefCon, oldAEPrefsRefCon, oldAEGetURLRefCon,
    oldAESimpleRefCon;
typedef bool (*AEIdleProcPtr)(EventRecord* event, SInt32* sleep, void** mouseRgn);
extern AEIdleProcPtr gAEIdleUPP;

void InitAppleEvents();
OSErr AEOpenHandler(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);
OSErr AEPrintHandler(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);
OSErr AEQuitHandler(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);
OSErr AEShowPreferences(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);
OSErr AEGetURL(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);
OSErr AESimpleHandler(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);
OSErr AEOpenDocHandler(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);
bool idleProc(EventRecord* event, SInt32* sleep, void** mouseRgn);

// Sends an Apple event of the core class to ourselves through the event
// layer, as the system's menu commands do (quit, preferences).
void SendCoreEvent(UInt32 eventID);
