// Reaching outside the program: links and files go to the desktop's opener
// ("xdg-open"); a dialog shows a clickable link. What this system has no
// counterpart for (scripts, helper applications by creator code, processes
// by creator code, control panels, preference panes) answers the codes
// below and does nothing.
#pragma once

#include <string>

#include "platform/AppleEventModel.h"
#include "platform/DialogModel.h"

class FileClass;

enum : OSErr {
  unimpErr = -4,
  errOSASystemError = -1750,
  procNotFound = -600,
};

OSErr LaunchURL(const char* url, const unsigned char* browser);
// Builds (does not send) a browser's open-URL event: to `target`, or when
// none is given to the application with signature `creator`; the URL as
// UTF-8 text in the direct parameter, 'WIND' 0 for a new window, else -1.
OSErr MakeOpenURLEvent(const char* url, AppleEvent* event, UInt32 creator, AEAddressDesc* target,
                       unsigned char newWindow);
UInt32 LaunchURLDialog(const unsigned char* message, const unsigned char* url, const unsigned char* button,
                       SInt16 icon);
OSStatus URLControlHandler(EventHandlerCallRef call, EventRef event, void* userData);

// A URL scheme's helper is the desktop's handler of the scheme, a desktop
// entry; setting and removing one change only the user's own settings.
OSErr GetProtocolHelperApp(const unsigned char* protocol, unsigned char* name, UInt32* creator);
OSErr SetProtocolHelperApp(const unsigned char* protocol, unsigned char* name, UInt32 creator);
OSErr RemoveProtocolHelper(const unsigned char* protocol);

bool InitAppleScript();
void DisposeAppleScript();
OSErr RunAppleScript(const char* text);
OSErr LowRunAppleScript(const void* text, SInt32 length, std::string* result);
OSErr ExecuteAppleScriptEvent(const void* text, SInt32 length, void* event, std::string* result);

// The file manager shows the folder that holds the file; OpenInFinder opens
// the file itself with its default program.
OSErr RevealInFinder(const char* path);
OSErr RevealInFinder(FileClass* file);
OSErr OpenInFinder(FileClass* file);
OSErr OpenInFinder(const char* path);

OSErr GetProcessSerialNumber(UInt32 creator, void* psn);
OSErr QuitApplicationByCreator(UInt32 creator);
OSErr LaunchApp(FileClass* file, void* psn);
OSErr LaunchLocalApp(const unsigned char* name, unsigned char flag);
OSErr LaunchApplicationByCreator(UInt32 creator, UInt32 type);
// Finds the file of that creator and type in `folder` and launches it: the
// search's error, or LaunchApp's.
OSErr LaunchAppByCreator(FileClass* folder, UInt32 creator, UInt32 type);
OSErr LaunchControlPanelByCreator(UInt32 creator);
OSErr LaunchPreferencePane(const unsigned char* bundleID);
