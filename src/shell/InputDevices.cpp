#include "shell/InputDevices.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/ErrorDialog.h"
#include "foundation/StringFunctions.h"
#include "shell/ApplInfo.h"
#include "shell/ErrorAlertDialogs.h"
#include "shell/Events.h"
#include "shell/Menus.h"
#include "shell/StandardDialog.h"
#include "shell/Startup.h"
#include "shell/TaskKeys.h"

bool ispREADY, ispTRIED;
UInt32 theElement[kInputNeeds];
UInt8* inputBLOCK;
UInt8* inputTRIGBLOCK;
char axisCOUNTER[4];
char axisDIRECTION[4];
bool forceFEEDBACK, forceREADY;
bool forcePLAYER[2], forceDAMAGE[2];
char forceDEVICE[2];
SInt16 iShock2COUNT;

namespace {

enum { kDPad = 0, kStick = 1, kUp = 2, kDown = 3, kLeft = 4, kRight = 5, kFire = 6, kPerPlayer = 7 };
enum { kEscapeNeed = 14, kReturnNeed = 15, kEscapeByte = 10, kReturnByte = 11 };
// Control numbers within the block.
enum { kCtlLeft = 0, kCtlRight = 1, kCtlUp = 2, kCtlDown = 3, kCtlFire = 4 };

InputNeed needs[kInputNeeds];

InputDeviceLayer& Layer() { return *GetInputDeviceLayer(); }

void Need(SInt32 i, const std::string& name, OSType kind, OSType label) {
  needs[i].name[0] = UInt8(name.size());
  std::memcpy(needs[i].name + 1, name.data(), name.size());
  needs[i].kind = kind;
  needs[i].label = label;
}

void BuildNeeds() {
  const OSType dpad = FOUR_CHAR('d', 'p', 'a', 'd'), move = FOUR_CHAR('m', 'o', 'v', 'e');
  const OSType butn = FOUR_CHAR('b', 'u', 't', 'n'), none = FOUR_CHAR('n', 'o', 'n', 'e');
  for (SInt32 p = 0; p < 2; p++) {
    std::string who = p ? "2p " : "1p ";
    SInt32 b = p * kPerPlayer;
    Need(b + kDPad, who + "D-Pad", dpad, none);
    Need(b + kStick, who + "Joystick", move, none);
    Need(b + kUp, who + "Up", butn, move);
    Need(b + kDown, who + "Down", butn, move);
    Need(b + kLeft, who + "Left", butn, move);
    Need(b + kRight, who + "Right", butn, move);
    Need(b + kFire, who + "Fire", butn, FOUR_CHAR('f', 'i', 'r', 'e'));
  }
  Need(kEscapeNeed, "Escape", butn, FOUR_CHAR('o', 'p', 't', 'n'));
  Need(kReturnNeed, "Return", butn, FOUR_CHAR('p', 'a', 'u', 's'));
}

UInt8& Slot(SInt32 control, SInt32 player) { return inputBLOCK[2 * control + player]; }

void SetAxis(SInt32 player, bool horizontal, SInt16 value) {
  SInt32 at = 12 + 4 * player + (horizontal ? 2 : 0);
  inputBLOCK[at] = UInt8(UInt16(value) & 0xFF);
  inputBLOCK[at + 1] = UInt8(UInt16(value) >> 8);
}

SInt32 Clamp(SInt32 v, SInt32 limit) { return std::clamp(v, -limit, limit); }

// A joystick axis as a step value: -8 ... 8, the positive half stretched
// to reach 8 as the negative one does.
SInt32 StepAxis(UInt32 axis) {
  SInt32 v = SInt32(axis >> 25) - 64;
  if (v > 0) v = v * 64 / 63;
  return Clamp(v >> 3, 8);
}

// A joystick axis as pointer motion: -6 ... 6.
SInt32 PointerAxis(UInt32 axis) { return Clamp(SInt32(axis >> 28) - 8, 6); }

// Within -1 ... 1 nothing; beyond, one step toward 0, squared, signed.
SInt32 Accelerate(SInt32 v) {
  if (v >= -1 && v <= 1) return 0;
  v += v > 0 ? -1 : 1;
  return v > 0 ? v * v : -v * v;
}

bool AnyDirection() {
  for (SInt32 p = 0; p < 2; p++)
    for (SInt32 k = kCtlLeft; k <= kCtlDown; k++)
      if (Slot(k, p)) return true;
  return false;
}

void DPadEvent(SInt32 player, SInt32 value) {
  for (SInt32 k = kCtlLeft; k <= kCtlDown; k++) Slot(k, player) = 0;
  bool left = value == 1 || value == 2 || value == 8;
  bool up = value >= 2 && value <= 4;
  bool right = value >= 4 && value <= 6;
  bool down = value >= 6 && value <= 8;
  Slot(kCtlLeft, player) = left;
  Slot(kCtlUp, player) = up;
  Slot(kCtlRight, player) = right;
  Slot(kCtlDown, player) = down;
}

void ElementEvent(const InputElementEvent& e) {
  if (e.element == kEscapeNeed || e.element == kReturnNeed) {
    if (e.value && !inputMouseMODE) inputBLOCK[e.element == kEscapeNeed ? kEscapeByte : kReturnByte] = 1;
    return;
  }
  if (e.element < 0 || e.element >= 2 * kPerPlayer) return;
  SInt32 player = e.element / kPerPlayer;
  switch (e.element % kPerPlayer) {
    case kDPad: DPadEvent(player, e.value); break;
    case kUp: Slot(kCtlUp, player) = e.value != 0; break;
    case kDown: Slot(kCtlDown, player) = e.value != 0; break;
    case kLeft: Slot(kCtlLeft, player) = e.value != 0; break;
    case kRight: Slot(kCtlRight, player) = e.value != 0; break;
    case kFire:
      if (e.value) Slot(kCtlFire, player) = 1;
      break;
    default: break;
  }
}

// The mouse button, or the device's fire while the device drives the
// pointer. There is one live button state, so holding and pressing agree.
bool PointerButton() {
  SInt16 dh = 0, dv = 0;
  UInt8 fire = 0;
  APPL.DoInterruptInput(&dh, &dv, &fire, nullptr, nullptr);
  if (dh || dv) inputMouseMODE = true;
  return Button() || (inputMouseMODE && fire);
}

// Four devices a player can choose; those not found show a disabled dash.
MenuRef DeviceMenu(SInt16 id) {
  MenuRef menu = NewMenu(id, reinterpret_cast<const unsigned char*>(""));
  for (SInt16 i = 1; i <= 4; i++) {
    Str255 text;
    if (i <= iShock2COUNT)
      CToPStr(("iShockll #" + std::to_string(i)).c_str(), text);
    else
      CToPStr("\xD0", text);  // an en dash
    InsertMenuItemText(menu, text, SInt16(i - 1));
    if (i > iShock2COUNT) DisableMenuItem(menu, i);
  }
  return menu;
}

// Command codes of the force-feedback dialog's controls; a player's come
// one after the other.
enum : UInt32 {
  kFeedbackBox = FOUR_CHAR('f', 'f', 'b', 'k'),
  kPlayerBox = FOUR_CHAR('p', 'l', 'y', '1'),
  kDevicePopup = FOUR_CHAR('d', 'e', 'v', '1'),
  kDamageBox = FOUR_CHAR('d', 'm', 'g', '1'),
};

void Activate(ControlRef control, bool active) { control->hilite = active ? kControlActive : kControlInactive; }

// A player's controls follow the feedback box; the device and damage
// choices also follow the player's box. Without a device that can rumble
// the feedback box itself stays off.
void UpdateFeedbackControls(WindowRef window) {
  ControlRef feedback = GetControlByCommand(window, kFeedbackBox);
  Activate(feedback, forceREADY);
  bool on = forceREADY && feedback->value;
  for (UInt32 p = 0; p < 2; p++) {
    ControlRef player = GetControlByCommand(window, kPlayerBox + p);
    Activate(player, on);
    Activate(GetControlByCommand(window, kDevicePopup + p), on && player->value);
    Activate(GetControlByCommand(window, kDamageBox + p), on && player->value);
  }
}

OSStatus FeedbackHandler(EventHandlerCallRef, EventRef event, void*) {
  ControlRef control = event->control;
  UInt32 c = control->command;
  if (c == kFeedbackBox || c == kPlayerBox || c == kPlayerBox + 1) UpdateFeedbackControls(control->window);
  if ((c == kPlayerBox || c == kPlayerBox + 1) && control->value)
    TestDeviceFeedback(char(GetControlByCommand(control->window, kDevicePopup + (c - kPlayerBox))->value - 1));
  if (c == kDevicePopup || c == kDevicePopup + 1) TestDeviceFeedback(char(control->value - 1));
  return eventNotHandledErr;
}

}  // namespace

void SetInputBlocks(UInt8* input, UInt8* trig) {
  inputBLOCK = input;
  inputTRIGBLOCK = trig;
}

int InitInputrix() {
  SInt32 devices = 0;
  if (Layer().Startup(&devices) != 0 || devices == 0) return -1;
  iShock2COUNT = SInt16(Layer().RumbleCount());
  forceREADY = iShock2COUNT > 0;
  ispREADY = ispTRIED = true;
  return 0;
}

bool InputSprocketsReady() { return ispREADY; }

bool AnySprocketInput() { return ispREADY && APPL.AnyISInput(); }

void HandleInputs() {
  if (ispREADY) APPL.ProcessInputs();
}

void FlushInputs() {
  if (!ispREADY) return;
  Layer().FlushEvents();
  APPL.ResetInputs();
}

void ISpReset() {
  if (!ispREADY) return;
  DisposeNeeds();
  APPL.InitInputNeeds();
}

void DisposeNeeds() {
  if (!APPL.inputNeeds) return;
  APPL.inputNeeds = nullptr;
  APPL.inputNeedCount = 0;
}

void DisposeInputSprockets() {
  if (!ispREADY) return;
  DisposeNeeds();
  Layer().Shutdown();
  ispREADY = false;
}

// There is no separate device library to close.
void DisposeInputSprocket() {}

bool Button2() { return ispREADY ? PointerButton() : Button(); }

bool StillDown2() { return ispREADY ? PointerButton() : Button(); }

void InputDevicesDialog(WindowRef parent) {
  if (ispREADY) {
    bool pointer = inputMouseON;
    inputMouseON = false;
    SInt32 err = Layer().Configure();
    inputMouseON = pointer;
    if (err) AlertDialog("An error occured trying to configure Input Sprockets.", err, "OK");
    return;
  }
  Beep();
  std::string name(reinterpret_cast<const char*>(APPL.name + 1), APPL.name[0]);
  std::string text = name +
                     " found no game controller.  Connect a game pad or joystick supported by SDL and start the "
                     "game again to use it.";
  dlogPARAMS.parentWindow = parent;
  AlertDialog(text.c_str(), "", "Later");
}

WindowRef NewForceFeedbackDialog() {
  const SInt16 width = 464, height = 156;
  Rect bounds = DlogPosition(width, height, 0);
  WindowRef window = NewStandardDialog(&bounds, reinterpret_cast<const unsigned char*>("\016Force Feedback"), 0);
  Rect local{0, 0, height, width};
  Rect r = ButtonPosition_Dlog(&local, 0);
  SetDefaultControl(
      NewDialogControl(window, &r, kPushButtonProc, reinterpret_cast<const unsigned char*>("\4Save"), 0, 0, 1), 1);
  r = ButtonPosition_Dlog(&local, 1);
  SetCancelControl(
      NewDialogControl(window, &r, kPushButtonProc, reinterpret_cast<const unsigned char*>("\6Cancel"), 0, 0, 1), 1);
  r = {12, 20, 30, 200};
  NewDialogControl(window, &r, kCheckBoxAutoProc, reinterpret_cast<const unsigned char*>("\016Force Feedback"),
                   forceFEEDBACK, 0, 1)
      ->command = kFeedbackBox;
  for (SInt32 p = 0; p < 2; p++) {
    SInt16 top = SInt16(40 + 30 * p);
    Str255 title;
    CToPStr(("Player #" + std::to_string(p + 1)).c_str(), title);
    r = {top, 40, SInt16(top + 18), 140};
    NewDialogControl(window, &r, kCheckBoxAutoProc, title, forcePLAYER[p], 0, 1)->command = kPlayerBox + UInt32(p);
    r = {top, 150, SInt16(top + 20), 300};
    ControlRef device =
        NewDialogControl(window, &r, kPopupButtonProc, reinterpret_cast<const unsigned char*>(""), 1, 1, 4);
    device->command = kDevicePopup + UInt32(p);
    SetControlPopupMenuHandle_(device, DeviceMenu(SInt16(1001 + p)));
    SetControlValue(device, SInt16(forceDEVICE[p] + 1));
    r = {top, 320, SInt16(top + 18), 440};
    NewDialogControl(window, &r, kCheckBoxAutoProc, reinterpret_cast<const unsigned char*>("\013Damage Only"),
                     forceDAMAGE[p], 0, 1)
        ->command = kDamageBox + UInt32(p);
  }
  static const EventTypeSpec hits[] = {{kEventClassControl, kEventControlHit}};
  InstallWindowEventHandler(window, FeedbackHandler, 1, hits, nullptr, nullptr);
  UpdateFeedbackControls(window);
  return window;
}

void SaveForceFeedbackDialog(WindowRef window) {
  forceFEEDBACK = GetControlByCommand(window, kFeedbackBox)->value != 0;
  for (UInt32 p = 0; p < 2; p++) {
    forcePLAYER[p] = GetControlByCommand(window, kPlayerBox + p)->value != 0;
    forceDEVICE[p] = char(std::clamp<SInt32>(GetControlByCommand(window, kDevicePopup + p)->value - 1, 0, 3));
    forceDAMAGE[p] = GetControlByCommand(window, kDamageBox + p)->value != 0;
  }
}

void DisposeForceFeedbackDialog(WindowRef window) {
  MenuRef menus[2] = {GetControlByCommand(window, kDevicePopup)->popupMenu,
                      GetControlByCommand(window, kDevicePopup + 1)->popupMenu};
  DisposeDialogWindow(window);
  for (MenuRef menu : menus) DisposeMenu(menu);
}

void ForceFeedbackDialog() {
  WindowRef window = NewForceFeedbackDialog();
  if (RunStandardDialog(window, nullptr, 0) == kHICommandOK) SaveForceFeedbackDialog(window);
  DisposeForceFeedbackDialog(window);
}

// Choosing a device or a player in the feedback dialog calls this, and it
// does nothing: a rumble starts only from the game.
void TestDeviceFeedback(char) {}

// Keyboard and mouse always stay the game's inputs here; nothing to switch.
void SetKeyboardMouseActivation(unsigned char) {}

bool AnyHIDInput() { return false; }

void InitInputNeeds() {
  if (!ispREADY) return;
  BuildNeeds();
  for (SInt32 i = 0; i < kInputNeeds; i++) theElement[i] = UInt32(i);
  APPL.inputNeeds = theElement;
  APPL.inputNeedCount = kInputNeeds;
  Layer().Init(needs, kInputNeeds);
}

void ResetInputs() {
  std::memset(axisCOUNTER, 0, sizeof axisCOUNTER);
  std::memset(axisDIRECTION, 0, sizeof axisDIRECTION);
  if (inputBLOCK) std::memset(inputBLOCK, 0, kInputBlockBytes);
  if (inputTRIGBLOCK) std::memset(inputTRIGBLOCK, 0, kInputBlockBytes);
}

void ProcessInputs() {
  if (!inputBLOCK) return;
  if (inputTRIGBLOCK) std::memcpy(inputTRIGBLOCK, inputBLOCK, kInputBlockBytes);
  for (SInt32 p = 0; p < 2; p++) {
    UInt32 axes[2];
    Layer().ComplexState(p * kPerPlayer + kStick, axes);
    SetAxis(p, true, SInt16(StepAxis(axes[0])));
    SetAxis(p, false, SInt16(StepAxis(axes[1])));
  }
  inputBLOCK[kReturnByte] = 0;
  InputElementEvent e;
  while (Layer().NextEvent(&e)) {
    ElementEvent(e);
    if (AnyDirection()) inputMouseMODE = false;
  }
}

void DoInterruptInput(SInt16* dh, SInt16* dv, UInt8* fire, UInt8* returnKey, UInt8* escapeKey) {
  SInt32 h = 0, v = 0;
  for (SInt32 p = 0; p < 2; p++) {
    UInt32 axes[2];
    Layer().ComplexState(p * kPerPlayer + kStick, axes);
    SInt32 ah = PointerAxis(axes[0]), av = PointerAxis(axes[1]);
    if (inputBLOCK) {
      SetAxis(p, true, SInt16(ah));
      SetAxis(p, false, SInt16(av));
    }
    h += Accelerate(ah);
    v += Accelerate(-av);
  }
  *dh = SInt16(h);
  *dv = SInt16(v);
  *fire = Layer().SimpleState(kFire) || Layer().SimpleState(kPerPlayer + kFire);
  if (returnKey) *returnKey = Layer().SimpleState(kReturnNeed) != 0;
  if (escapeKey) *escapeKey = Layer().SimpleState(kEscapeNeed) != 0;
}

UInt8 AnyISInput() {
  if (!inputBLOCK) return 0;
  for (SInt32 i = 0; i < 12; i++)
    if (inputBLOCK[i]) return 1;
  return 0;
}

void UseAnalog(char value, UInt8* low, UInt8* high, char* direction, char* accumulator) {
  if (value >= -1 && value <= 1) {
    if (*direction) *direction = *low = *high = *accumulator = 0;
    return;
  }
  *low = *high = 0;
  if ((value < -1 && *direction > 0) || (value >= 2 && *direction < 0)) *direction = 0;
  if (!*direction) *accumulator = char(value < 0 ? -6 : 6);
  *direction = char(value < 0 ? -1 : 1);
  if (*accumulator < -5) {
    *low = 1;
    *accumulator = char(*accumulator + 6);
  } else if (*accumulator > 5) {
    *high = 1;
    *accumulator = char(*accumulator - 6);
  }
  *accumulator = char(*accumulator + std::clamp<SInt32>(value, -6, 6));
}

void InstallInputHooks() {
  APPL.initInputNeeds = InitInputNeeds;
  APPL.resetInputs = ResetInputs;
  APPL.processInputs = ProcessInputs;
  APPL.doInterruptInput = DoInterruptInput;
  APPL.anyISInput = AnyISInput;
}
