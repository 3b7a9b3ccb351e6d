// Small operations on single dialog controls: bevel-button content and text
// placement, fonts, values, text views, pop-ups, the icon registry, byte
// counts as text. Settings a presenter reads are kept on the control under
// their tag; failures are non-fatal error dialogs with the code as detail.
#pragma once

#include "platform/DialogModel.h"
#include "platform/EventPlatform.h"
#include "platform/QuickDrawColor.h"  // resNotFound: there are no resource files
#include "platform/QuickDrawPicture.h"

typedef struct OpaqueListHandle* ListHandle;
typedef struct DialogWindowRecord* DialogRef;

// Bevel-button layout, kept under the tags below for the presenter: the
// graphic's alignment and offset, the text's alignment, placement and
// offset. A null control is reported as an error dialog.
void SetIconAlignment(ControlRef control, SInt16 alignment);
void SetIconOffset(ControlRef control, SInt16 h, SInt16 v);
void SetTextAlignment(ControlRef control, SInt16 alignment);
void SetTextPlacement(ControlRef control, SInt16 placement);
void SetTextOffset(ControlRef control, SInt16 offset);
// Icons and pictures by resource number: there are no resources, so these
// report resNotFound (the OSErr forms return it, or paramErr for no control).
void SetControlCIcon(ControlRef control, SInt16 id);
void SetControlIconSuite(ControlRef control, SInt16 id);
OSErr SetBevelButtonPictID(ControlRef control, SInt16 id);
// The control shows the caller's picture (not copied; null: none); -1 for
// no control.
OSErr SetBevelButtonPict(ControlRef control, PicHandle pict);
void SetBevelButton_ics8(ControlRef control, SInt16 id);
void SetBevelButton_icns(ControlRef control, SInt16 id);
// The control shows the icon's PNG file (null: none); the icon may be
// released afterwards. paramErr for no control.
OSErr SetControlIconRef(ControlRef control, IconRef icon);
// The icon "<Resources>/<name>" for SetControlIconRef: -1 when no such file;
// 0 with the icon; `base` is not used.
OSErr LoadIconFile(IconRef* icon, const char* name, UInt32 creator, UInt32 type, const char* base);
// One part of the control's font style each; the other parts stay.
void SetControlFontColor(ControlRef control, RGBColor colour);
void SetControlFontSize(ControlRef control, SInt16 size);
void SetControlFontJustification(ControlRef control, SInt16 just);
void SetControlFontFace(ControlRef control, SInt16 face);
// Flags kept for the presenter; paramErr for no control.
OSErr SetWellDropTarget(ControlRef control, unsigned char on);
OSErr SetIndeterminateFlag(ControlRef control, unsigned char on);
// Sets value, minimum and maximum as given (the value is not held in range).
void SetControlValues(ControlRef control, SInt16 value, SInt16 min, SInt16 max);

// Gives the control the style, size, colour and justification in
// ctrlPARAMS (and its font, when one is set), then resets ctrlPARAMS.
void SetControlFont(ControlRef control);
// As SetBevelButtonPict, for any control.
OSErr SetControlPict(ControlRef control, PicHandle pict);
// The control's text read as a whole number (0 when it holds none).
SInt32 GetControlTextAsNumber(ControlRef control);
// There are no list boxes: sets *list to null and returns -30587 (paramErr
// without a control or list).
OSErr GetListBoxListHandle(ControlRef control, ListHandle* list);
// Adds a pop-up button for menu `menuID` to the dialog: 20 high, the title
// `titleWidth` wide and 120 for the menu, titled `title` (or, when empty,
// the menu's own title). Null when the dialog cannot take it.
ControlRef CreatePopupMenu(WindowRef dialog, SInt16 menuID, SInt16 refCon, SInt16 titleWidth,
                           const unsigned char* title);
// Takes the menu out of the menu bar and disposes of it (a null menu is
// only taken out).
void DisposePopupMenu(struct OpaqueMenuRef* menu, SInt16 menuID);
// Notes the icon number for a file type (replacing one noted before).
OSErr RegisterIconCode(UInt32 type, SInt16 resID);
// The icon number registered for a type, or -1.
SInt16 RegisteredIcon(UInt32 type);
// There are no resource files: always resNotFound.
OSErr GetCurrentResourceFSSpec(void* spec);

// Sets a text view's text: `length` bytes, or up to the terminating zero
// when negative; the length-prefixed form takes a Pascal string. A control
// that is not a text view is left alone; `readOnly` says the view may be
// read-only, and it stays so.
void SetTextViewText(ControlRef control, const char* text, int length, unsigned char readOnly);
void SetTextViewText(ControlRef control, const unsigned char* text);
// A text view's justification, kept for the presenter.
void SetTextViewFontJustification(ControlRef control, SInt16 justification, unsigned char readOnly);
// Marks the view transparent and has it drop its selection when it loses
// the focus (through TextViewEventHandler).
void MakeTextViewTransparent(ControlRef control);
OSStatus TextViewEventHandler(EventHandlerCallRef call, EventRef event, void* userData);
// Nothing to do here: views are opaque unless marked, and no framework needs
// loading.
void MakeTextViewOpaque(ControlRef control);
void ImportCarbonFramework();
// Appends a byte count in K (from 1,048,576 bytes in M) with one decimal,
// the tenths cut rather than rounded ("1.5 K"); stops where the Pascal string
// is full.
void AddBytesToString(SInt32 bytes, unsigned char* text);
// Makes `event` the record the shell's event calls fill (gEventREC).
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
