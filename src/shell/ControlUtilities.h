// Small operations on single dialog controls: bevel-button content and text
// placement, fonts, values, text views, pop-ups, the icon registry, byte
// counts as text. Settings a presenter reads are kept on the control under
// their tag; failures are non-fatal error dialogs with the code as detail.
#pragma once

#include "platform/DialogModel.h"
#include "platform/EventPlatform.h"
#include "platform/QuickDrawPicture.h"

typedef struct OpaqueListHandle* ListHandle;
typedef struct DialogWindowRecord* DialogRef;

// There are no resource files: resource content answers this code.
enum : OSErr { resNotFound = -192 };

void SetIconAlignment(ControlRef control, SInt16 alignment);
void SetIconOffset(ControlRef control, SInt16 h, SInt16 v);
void SetTextAlignment(ControlRef control, SInt16 alignment);
void SetTextPlacement(ControlRef control, SInt16 placement);
void SetTextOffset(ControlRef control, SInt16 offset);
void SetControlCIcon(ControlRef control, SInt16 id);
void SetControlIconSuite(ControlRef control, SInt16 id);
OSErr SetBevelButtonPictID(ControlRef control, SInt16 id);
OSErr SetBevelButtonPict(ControlRef control, PicHandle pict);
void SetBevelButton_ics8(ControlRef control, SInt16 id);
void SetBevelButton_icns(ControlRef control, SInt16 id);
OSErr SetControlIconRef(ControlRef control, IconRef icon);
void SetControlFontColor(ControlRef control, RGBColor colour);
void SetControlFontSize(ControlRef control, SInt16 size);
void SetControlFontJustification(ControlRef control, SInt16 just);
void SetControlFontFace(ControlRef control, SInt16 face);
OSErr SetWellDropTarget(ControlRef control, unsigned char on);
OSErr SetIndeterminateFlag(ControlRef control, unsigned char on);
void SetControlValues(ControlRef control, SInt16 value, SInt16 min, SInt16 max);

void SetControlFont(ControlRef control);
OSErr SetControlPict(ControlRef control, PicHandle pict);
SInt32 GetControlTextAsNumber(ControlRef control);
OSErr GetListBoxListHandle(ControlRef control, ListHandle* list);
ControlRef CreatePopupMenu(WindowRef dialog, SInt16 menuID, SInt16 refCon, SInt16 titleWidth,
                           const unsigned char* title);
void DisposePopupMenu(struct OpaqueMenuRef* menu, SInt16 menuID);
OSErr RegisterIconCode(UInt32 type, SInt16 resID);
// The icon number registered for a type, or -1.
SInt16 RegisteredIcon(UInt32 type);
OSErr GetCurrentResourceFSSpec(void* spec);

void SetTextViewText(ControlRef control, const char* text, int length, unsigned char readOnly);
void SetTextViewText(ControlRef control, const unsigned char* text);
void SetTextViewFontJustification(ControlRef control, SInt16 justification, unsigned char readOnly);
void MakeTextViewTransparent(ControlRef control);
OSStatus TextViewEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
void MakeTextViewOpaque(ControlRef control);
void ImportCarbonFramework();
void AddBytesToString(SInt32 bytes, unsigned char* text);
void SetEventRecord(EventRecord* event);

// Tags under which the settings are kept.
enum : UInt32 {
  kTagGraphicAlignment = FOUR_CHAR('g', 'a', 'l', 'i'),
  kTagGraphicOffset = FOUR_CHAR('g', 'o', 'f', 'f'),
  kTagTextAlignment = FOUR_CHAR('t', 'a', 'l', 'i'),
  kTagTextPlacement = FOUR_CHAR('t', 'p', 'l', 'c'),
  kTagTextOffset = FOUR_CHAR('t', 'o', 'f', 'f'),
  kTagContent = FOUR_CHAR('c', 'o', 'n', 't'),
  kTagDropTarget = FOUR_CHAR('d', 'r', 'a', 'g'),
  kTagIndeterminate = FOUR_CHAR('i', 'n', 'd', 'e'),
  kTagPicture = FOUR_CHAR('p', 'i', 'c', 'h'),
  kTagTransparent = FOUR_CHAR('t', 'r', 'n', 's'),
  kTagJustification = FOUR_CHAR('j', 'u', 's', 't'),
};

// The engine's own icons, relative to the bundle's Resources folder. They are
// PNG files kept under the names the engine asks for (".icns" included), so
// that LoadIconFile finds each by its own name.
inline constexpr const char* kInputsIconFile = "QK Resources/Inputs.icns";
inline constexpr const char* kRumbleIconFile = "QK Resources/Rumble.icns";
inline constexpr const char* kAudioIconFile = "QK Resources/Audio.icns";
inline constexpr const char* kOnlineIconFile = "QK Resources/Online.icns";
inline constexpr const char* kKeyboardIconFile = "QK Resources/Keyboard.icns";
// The application's own icon, at the size the dialogs show it best.
inline constexpr const char* kApplicationIconFile = "Icons/Halvane-64.png";
// Registers the icon "<Resources>/<name>" (a PNG file) for the application;
// noErr with the icon, else the file's error and a null icon.
OSErr LoadBundleIcon(const char* name, UInt32 type, IconRef* icon);
