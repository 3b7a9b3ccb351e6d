// The display manager: every active display with its screen device, its
// distinct modes and the mode it started in; mode search and switching,
// capture and release, device and display lookups, pixel depths and a
// periodic task. The platform's display functions are the installed
// display services.
#pragma once

#include "foundation/Array.h"
#include "platform/DisplayServices.h"
#include "platform/QuickDraw.h"

class Timer;

// One mode: every depth it offers is a bit of `depths`.
struct Resolution {
  UInt32 modeID;
  UInt32 refresh;  // Hz as 16.16
  UInt32 width;
  UInt32 height;
  UInt32 depths;
  UInt16 flags;  // bit 0 stretched, bit 1 needs panning, bit 2 interlaced
  UInt8 safe;
  Str31 name;
};

class Display {
 public:
  DisplayID displayID;
  GDHandle device;
  Array<Resolution> modes;
  UInt8 switched;
  DisplayModeInfo* modeList;  // the services' modes, as listed
  UInt32 modeListCount;
  DisplayModeInfo* startMode;  // the mode current when the display was recorded
  UInt8 taskInstalled;
  Timer* timerTask;
  void (*timerRoutine)(Timer*);
  SInt32 taskStatus;
  UInt32 taskID;
  void (*procedure)();

  Display();
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  Rect Bounds();
  SInt16 FindMode(SInt32* index, SInt16 depth, UInt32 width, UInt32 height, UInt32 refresh, SInt32 spare);
  SInt16 GetMode(SInt32* index, UInt8* grey);
  Boolean SetMode(SInt32 depthAndFlags, SInt32 index);
  Boolean SwitchMode(const DisplayModeInfo* mode);
  Boolean ResetMode();
  void InstallVBLTask(void (*proc)());
  void RemoveVBLTask();
};

extern Array<Display> mainDISPLAY;
extern UInt8 directDisplayLoaded;

SInt16 InitDisplayAPI();
void DisposeDisplayAPI();
SInt16 InitDisplays(Array<Display>& displays);
void DisposeDisplays(Array<Display>& displays);
DisplayID DeviceToDisplay(GDHandle device);
GDHandle DisplayToDevice(DisplayID id);
SInt32 CaptureDisplay();
SInt32 ReleaseDisplay();
Boolean ResetDisplays(Array<Display>& displays);
// Tells the user the screen is too small or too shallow, then ends the program.
void DisplayErrorDialog(SInt16 width, SInt16 height, SInt16 depth);

SInt16 GetMonitorMode(GDHandle device, SInt16* depth, UInt8* colour);
OSErr SetMonitorMode(GDHandle device, SInt16 depth, UInt8 colour);
SInt16 NextGreaterDepth(UInt32 depths, SInt16 depth);
double AbsoluteToSeconds(UInt64 time);
UInt64 SecondsToAbsolute(double seconds);
SInt16 ExtractModeDictionaryInfo(const DisplayModeInfo* dictionary, Resolution* resolution);
