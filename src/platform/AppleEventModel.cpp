#include "platform/AppleEventModel.h"

#include <algorithm>

namespace {

struct Entry {
  UInt32 eventClass, eventID;
  AEEventHandlerProcPtr handler;
  SInt32 refCon;
};

std::vector<Entry> table;

Entry* Find(UInt32 eventClass, UInt32 eventID) {
  for (Entry& e : table)
    if (e.eventClass == eventClass && e.eventID == eventID) return &e;
  return nullptr;
}

}  // namespace

OSErr AEInstallEventHandler(UInt32 eventClass, UInt32 eventID, AEEventHandlerProcPtr handler, SInt32 refCon) {
  if (!handler) return paramErr;
  if (Entry* e = Find(eventClass, eventID))
    *e = Entry{eventClass, eventID, handler, refCon};
  else
    table.push_back(Entry{eventClass, eventID, handler, refCon});
  return noErr;
}

OSErr AEGetEventHandler(UInt32 eventClass, UInt32 eventID, AEEventHandlerProcPtr* handler, SInt32* refCon) {
  Entry* e = Find(eventClass, eventID);
  if (!e) return errAEHandlerNotFound;
  *handler = e->handler;
  *refCon = e->refCon;
  return noErr;
}

OSErr AERemoveEventHandler(UInt32 eventClass, UInt32 eventID) {
  auto it = std::remove_if(table.begin(), table.end(),
                           [&](const Entry& e) { return e.eventClass == eventClass && e.eventID == eventID; });
  if (it == table.end()) return errAEHandlerNotFound;
  table.erase(it, table.end());
  return noErr;
}

OSErr AEProcessAppleEvent(const AppleEvent* event) {
  Entry* e = Find(event->eventClass, event->eventID);
  if (!e) return errAEEventNotHandled;
  AppleEvent reply{};
  return e->handler(event, &reply, e->refCon);
}

OSErr AEGetDirectList(const AppleEvent* event, const std::vector<std::string>** list) {
  if (!event->hasDirectList) return errAEDescNotFound;
  *list = &event->directList;
  return noErr;
}

OSErr AEInteractWithUser() { return noErr; }

namespace {

bool IsFileType(DescType type) { return type == typeFSRef || type == typeFSS || type == typeFileURL; }

const char kFileScheme[] = "file://";

}  // namespace

OSErr AECreateDesc(DescType type, const void* data, size_t size, AEDesc* result) {
  if (!result) return paramErr;
  result->descriptorType = type;
  result->data.assign(static_cast<const char*>(data), data ? size : 0);
  return noErr;
}

OSErr AECoerceDesc(const AEDesc* desc, DescType type, AEDesc* result) {
  if (!desc || !result) return paramErr;
  if (desc->descriptorType == type) {
    *result = *desc;
    return noErr;
  }
  if (!IsFileType(desc->descriptorType) || !IsFileType(type)) return errAECoercionFail;
  std::string path = desc->data;
  if (desc->descriptorType == typeFileURL) {
    if (path.rfind(kFileScheme, 0) != 0) return errAECoercionFail;
    path.erase(0, sizeof kFileScheme - 1);
  }
  result->descriptorType = type;
  result->data = type == typeFileURL ? kFileScheme + path : path;
  return noErr;
}

OSErr AEDisposeDesc(AEDesc* desc) {
  if (desc) *desc = AEDesc{};
  return noErr;
}
