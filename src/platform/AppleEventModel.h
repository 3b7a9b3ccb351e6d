// Apple events without other processes: an event is a record of its class,
// ID and direct parameter, and a table of handlers keyed by (class, ID)
// dispatches it. The quit request of the system (SDL_QUIT) and the menus'
// quit and preferences commands arrive here; the other events have no source
// on this platform, but their handlers are reached the same way.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/PlatformTypes.h"

enum : OSErr {
  errAECoercionFail = -1700,
  errAEDescNotFound = -1701,
  errAEEventNotHandled = -1708,
  errAENoUserInteraction = -1713,
  errAEHandlerNotFound = -1717,
};

enum : UInt32 {
  kAECoreEventClass = FOUR_CHAR('a', 'e', 'v', 't'),
  kAEOpenApplication = FOUR_CHAR('o', 'a', 'p', 'p'),
  kAEOpenDocuments = FOUR_CHAR('o', 'd', 'o', 'c'),
  kAEPrintDocuments = FOUR_CHAR('p', 'd', 'o', 'c'),
  kAEQuitApplicationID = FOUR_CHAR('q', 'u', 'i', 't'),
  kAEShowPreferences = FOUR_CHAR('p', 'r', 'e', 'f'),
  kInternetEventClass = FOUR_CHAR('G', 'U', 'R', 'L'),
  kAEGetURL = FOUR_CHAR('G', 'U', 'R', 'L'),
  kSimpleEventClass = FOUR_CHAR('S', 'i', 'm', 'p'),
  kSimpleEventID = FOUR_CHAR('S', 'I', 'M', 'P'),
};

// A descriptor: a typed block of bytes. File references ('fsrf'), older
// file records ('fss ') and file URLs ('furl') all name a file by its
// path and coerce into one another.
typedef FourCharCode DescType;
enum : DescType {
  typeNull = 0,
  typeFSRef = FOUR_CHAR('f', 's', 'r', 'f'),
  typeFSS = FOUR_CHAR('f', 's', 's', ' '),
  typeFileURL = FOUR_CHAR('f', 'u', 'r', 'l'),
  typeApplSignature = FOUR_CHAR('s', 'i', 'g', 'n'),
  typeUTF8Text = FOUR_CHAR('u', 't', 'f', '8'),
  typeSInt32 = FOUR_CHAR('l', 'o', 'n', 'g'),
};
struct AEDesc {
  DescType descriptorType = typeNull;
  std::string data;
};
// The direct parameter: a list of items, each a block of bytes (a URL's
// text, a file's path).
struct AppleEvent {
  UInt32 eventClass;
  UInt32 eventID;
  bool hasDirectList;
  std::vector<std::string> directList;
  AEDesc target;                                  // the application addressed, when one is
  std::vector<std::pair<UInt32, AEDesc>> params;  // other parameters by keyword
};
typedef AEDesc AEAddressDesc;

typedef OSErr (*AEEventHandlerProcPtr)(const AppleEvent* event, AppleEvent* reply, SInt32 refCon);

OSErr AEInstallEventHandler(UInt32 eventClass, UInt32 eventID, AEEventHandlerProcPtr handler, SInt32 refCon);
// errAEHandlerNotFound when none is installed.
OSErr AEGetEventHandler(UInt32 eventClass, UInt32 eventID, AEEventHandlerProcPtr* handler, SInt32* refCon);
OSErr AERemoveEventHandler(UInt32 eventClass, UInt32 eventID);
// Runs the handler of the event; errAEEventNotHandled when none is installed.
OSErr AEProcessAppleEvent(const AppleEvent* event);

// The direct parameter as a list: errAEDescNotFound when it has none.
OSErr AEGetDirectList(const AppleEvent* event, const std::vector<std::string>** list);
// There is no other process to yield to: interaction is always allowed.
OSErr AEInteractWithUser();

OSErr AECreateDesc(DescType type, const void* data, size_t size, AEDesc* result);
// errAECoercionFail when the data cannot be had as `type`.
OSErr AECoerceDesc(const AEDesc* desc, DescType type, AEDesc* result);
OSErr AEDisposeDesc(AEDesc* desc);
