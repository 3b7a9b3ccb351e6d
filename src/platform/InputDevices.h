// The input-device layer: game pads and joysticks as named elements (the
// engine's "needs"), their events and states, and their rumble. The program
// uses the SDL game-controller implementation; tests install others.
#pragma once

#include "platform/PlatformTypes.h"

// One need: a named control the game wants, with its kind ('dpad', 'move',
// 'butn') and label ('none', 'move', 'fire', 'optn', 'paus').
struct InputNeed {
  Str63 name;
  OSType kind;
  OSType label;
};

// An element changed: `element` is the need's index; a button's value is 1
// (pressed) or 0, a direction pad's 0 (centred) or 1 to 8 from left
// clockwise (1 left, 3 up, 5 right, 7 down).
struct InputElementEvent {
  SInt32 element;
  SInt32 value;
};

class InputDeviceLayer {
 public:
  virtual ~InputDeviceLayer() = default;
  // 0 when devices can be served; the number of devices found.
  virtual SInt32 Startup(SInt32* devices) = 0;
  // Lets the user arrange the devices; 0 or an error.
  virtual SInt32 Configure() = 0;
  // Binds the needs to the devices' controls; 0 or an error.
  virtual SInt32 Init(const InputNeed* needs, SInt32 count) = 0;
  // Forgets the events not yet taken.
  virtual void FlushEvents() = 0;
  virtual bool NextEvent(InputElementEvent* event) = 0;
  // Two axes of a joystick element as unsigned 32-bit values, 0x80000000
  // centred (0 left or up).
  virtual void ComplexState(SInt32 element, UInt32 axes[2]) = 0;
  // A button element: 1 while held.
  virtual SInt32 SimpleState(SInt32 element) = 0;
  // Devices that can rumble, and a rumble of one of them (0 to 1, for ms).
  virtual SInt32 RumbleCount() = 0;
  virtual void Rumble(SInt32 device, float strength, UInt32 ms) = 0;
  virtual void Shutdown() = 0;
};

// The layer in use: SDL's unless another is installed; null returns to
// SDL's. Returns the layer installed before.
InputDeviceLayer* GetInputDeviceLayer();
InputDeviceLayer* SetInputDeviceLayer(InputDeviceLayer* layer);
// Game controllers through SDL: the first two pads are players 1 and 2
// (left stick the joystick, direction pad the D-pad, A fire, Start
// Return, Back Escape).
InputDeviceLayer* SDLInputDeviceLayer();
