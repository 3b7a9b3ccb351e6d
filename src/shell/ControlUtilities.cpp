#include "shell/ControlUtilities.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "platform/MenuModel.h"
#include "platform/PlatformFiles.h"
#include "shell/ApplInfo.h"
#include "shell/Events.h"
#include "shell/StandardDialog.h"

namespace {

// Icon types registered for this application, with their icon numbers.
std::map<UInt32, SInt16>& IconRegistry() {
  static std::map<UInt32, SInt16> registry;
  return registry;
}

// Sets a tagged value; a missing control is the platform's parameter error.
OSErr SetTag(ControlRef control, UInt32 tag, SInt32 value) {
  if (!control) return paramErr;
  control->data[tag] = value;
  return noErr;
}

void Report(OSErr error, const char* message) {
  if (error) ErrorDialog(message, SInt16(error), 0, 0);
}

void SetFontPart(ControlRef control, SInt16 flags, const ControlFontStyleRec& style, const char* message) {
  if (!control) return;
  ControlFontStyleRec& f = control->fontStyle;
  if (flags & 1) f.font = style.font;
  if (flags & 2) f.style = style.style;
  if (flags & 4) f.size = style.size;
  if (flags & 8) f.foreColor = style.foreColor;
  if (flags & 64) f.just = style.just;
  f.flags = SInt16(f.flags | flags);
  (void)message;  // the model cannot refuse a style
}

}  // namespace

void SetIconAlignment(ControlRef c, SInt16 a) {
  Report(SetTag(c, kTagGraphicAlignment, a), "SetIconAlignment() failed.");
}
void SetIconOffset(ControlRef c, SInt16 h, SInt16 v) {
  Report(SetTag(c, kTagGraphicOffset, SInt32(UInt32(UInt16(v)) << 16 | UInt16(h))), "SetIconOffset() failed.");
}
void SetTextAlignment(ControlRef c, SInt16 a) { Report(SetTag(c, kTagTextAlignment, a), "SetTextAlignment() failed."); }
void SetTextPlacement(ControlRef c, SInt16 p) { Report(SetTag(c, kTagTextPlacement, p), "SetTextPlacement() failed."); }
void SetTextOffset(ControlRef c, SInt16 o) { Report(SetTag(c, kTagTextOffset, o), "SetTextOffset() failed."); }

// Resource content does not exist here: each of these answers resNotFound.
void SetControlCIcon(ControlRef, SInt16) { Report(resNotFound, "SetControlCIcon() failed."); }
void SetControlIconSuite(ControlRef, SInt16) { Report(resNotFound, "SetControlIconSuite() failed."); }
OSErr SetBevelButtonPictID(ControlRef control, SInt16) { return control ? OSErr(resNotFound) : OSErr(paramErr); }
// The control refers to the caller's picture; the flag says whether it has one.
OSErr SetBevelButtonPict(ControlRef control, PicHandle pict) {
  if (!control) return -1;
  control->picture = pict;
  return SetTag(control, kTagPicture, pict ? 1 : 0);
}
void SetBevelButton_ics8(ControlRef, SInt16) { Report(resNotFound, "SetBevelButton_ics8() failed."); }
void SetBevelButton_icns(ControlRef control, SInt16) {
  Report(resNotFound, "GetIconSuite() failed.");
  (void)control;
  Report(resNotFound, "SetBevelButton_icns() failed.");
}
// The icon is its PNG file: the control keeps the path, so the icon may be
// released once it is set.
OSErr LoadIconFile(IconRef* icon, const char* name, UInt32 creator, UInt32 type, const char*) {
  *icon = nullptr;
  if (!name) return -1;
  std::string path = GetResourcesPath() + "/" + name;
  std::FILE* file = OpenRegularFileForReading(path);
  if (!file) return -1;
  std::fclose(file);
  return RegisterIconRefFromIconFile(creator, type, path.c_str(), icon);
}

OSErr SetControlIconRef(ControlRef control, IconRef icon) {
  if (control) control->iconPath = icon ? icon->path : std::string();
  return SetTag(control, kTagContent, SInt32(icon != nullptr));
}

void SetControlFontColor(ControlRef control, RGBColor colour) {
  ControlFontStyleRec s{};
  s.foreColor = colour;
  SetFontPart(control, 8, s, "SetControlFontColor() failed.");
}
void SetControlFontSize(ControlRef control, SInt16 size) {
  ControlFontStyleRec s{};
  s.size = size;
  SetFontPart(control, 4, s, "SetControlFontSize() failed.");
}
void SetControlFontJustification(ControlRef control, SInt16 just) {
  ControlFontStyleRec s{};
  s.just = just;
  SetFontPart(control, 64, s, "SetControlFontJustification() failed.");
}
void SetControlFontFace(ControlRef control, SInt16 face) {
  ControlFontStyleRec s{};
  s.style = face;
  SetFontPart(control, 2, s, "SetControlFontFace() failed.");
}

OSErr SetWellDropTarget(ControlRef control, unsigned char on) { return SetTag(control, kTagDropTarget, on); }
OSErr SetIndeterminateFlag(ControlRef control, unsigned char on) { return SetTag(control, kTagIndeterminate, on); }

void SetControlValues(ControlRef control, SInt16 value, SInt16 min, SInt16 max) {
  if (!control) return;
  control->value = value;
  control->minimum = min;
  control->maximum = max;
}

void SetControlFont(ControlRef control) {
  if (control) SetFontPart(control, SInt16(78 | (ctrlPARAMS.font ? 1 : 0)), ctrlPARAMS, "SetControlFont() failed.");
  ctrlPARAMS.Reset();
}

// A presenter draws the picture anew each time, so a control without one
// shows nothing where the old picture was.
OSErr SetControlPict(ControlRef control, PicHandle pict) {
  if (!control) return -1;
  control->picture = pict;
  return SetTag(control, kTagPicture, pict ? 1 : 0);
}

SInt32 GetControlTextAsNumber(ControlRef control) {
  Str255 text;
  text[0] = 0;
  GetControlText(control, text);
  SInt32 n = 0;
  QK_StringToNum(text, &n);
  return n;
}

OSErr GetListBoxListHandle(ControlRef control, ListHandle* list) {
  if (!control || !list) return paramErr;
  *list = nullptr;
  return -30587;  // no list boxes: the platform's "data not supported"
}

ControlRef CreatePopupMenu(WindowRef dialog, SInt16 menuID, SInt16 refCon, SInt16 titleWidth,
                           const unsigned char* title) {
  MenuRef menu = GetMenuHandle(menuID);
  Str255 name;
  if (title && title[0]) {
    memcpy(name, title, size_t(title[0]) + 1);
  } else if (menu) {
    memcpy(name, menu->title, size_t(menu->title[0]) + 1);
  } else {
    name[0] = 0;
  }
  Rect bounds{0, 0, 20, SInt16(titleWidth + 120)};
  ControlRef control = NewDialogWindowControl(dialog, bounds, kPopupButtonProc, name, 8, menuID, titleWidth);
  if (!control) return nullptr;
  control->value = 8;  // as the classic pop-up keeps it, whatever its range
  control->refCon = refCon;
  control->popupMenu = menu;
  return control;
}

void DisposePopupMenu(MenuRef menu, SInt16 menuID) {
  DeleteMenu(menuID);
  if (menu) DisposeMenu(menu);
}

OSErr RegisterIconCode(UInt32 type, SInt16 resID) {
  IconRegistry()[type] = resID;
  return noErr;
}

SInt16 RegisteredIcon(UInt32 type) {
  auto it = IconRegistry().find(type);
  return it == IconRegistry().end() ? -1 : it->second;
}

OSErr GetCurrentResourceFSSpec(void*) { return resNotFound; }

void SetTextViewText(ControlRef control, const char* text, int length, unsigned char readOnly) {
  ImportCarbonFramework();
  if (!control || control->kind != kControlKindTextView || !text) return;
  bool wasReadOnly = control->readOnly;
  if (readOnly && wasReadOnly) control->readOnly = false;
  control->text.assign(text, length < 0 ? strlen(text) : size_t(length));
  control->readOnly = wasReadOnly;
}

void SetTextViewText(ControlRef control, const unsigned char* text) {
  if (text) SetTextViewText(control, (const char*)text + 1, text[0], 1);
}

void SetTextViewFontJustification(ControlRef control, SInt16 justification, unsigned char readOnly) {
  ImportCarbonFramework();
  if (!control || control->kind != kControlKindTextView) return;
  bool wasReadOnly = control->readOnly;
  if (readOnly && wasReadOnly) control->readOnly = false;
  control->data[kTagJustification] = justification;
  control->readOnly = wasReadOnly;
}

void MakeTextViewTransparent(ControlRef control) {
  ImportCarbonFramework();
  if (!control) return;
  control->data[kTagTransparent] = 1;
  static const EventTypeSpec focus[] = {{kEventClassControl, kEventControlSetFocusPart}};
  InstallControlEventHandler(control, TextViewEventHandler, 1, focus, control, nullptr);
}

OSStatus TextViewEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
  auto* control = static_cast<ControlRef>(userData);
  if (event->part == 0 && control) control->selStart = control->selEnd = 0;
  return eventNotHandledErr;
}

void MakeTextViewOpaque(ControlRef) {}
void ImportCarbonFramework() {}

void AddBytesToString(SInt32 bytes, unsigned char* text) {
  bool mega = bytes > 1048575;
  double units = double(bytes) / 1024.0;
  if (mega) units /= 1024.0;
  SInt32 whole = SInt32(units);
  // The tenths digit of what is left over; 0 for a whole number of units.
  SInt32 digit = SInt32((units - double(whole)) * 10.0);
  Str31 piece;
  QK_NumToString(whole, piece);
  if (AddString(piece, text)) return;
  if (AddString((const unsigned char*)"\001.", text)) return;
  QK_NumToString(digit, piece);
  if (AddString(piece, text)) return;
  AddString(mega ? (const unsigned char*)"\002 M" : (const unsigned char*)"\002 K", text);
}

void SetEventRecord(EventRecord* event) { gEventREC = event; }

OSErr LoadBundleIcon(const char* name, UInt32 type, IconRef* icon) {
  *icon = nullptr;
  if (!name) return fnfErr;
  return RegisterIconRefFromIconFile(APPL.creator, type, (GetResourcesPath() + "/" + name).c_str(), icon);
}
