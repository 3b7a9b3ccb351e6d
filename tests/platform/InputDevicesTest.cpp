#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/InputDevices.h"

namespace {

// One virtual game pad, attached for the test's duration.
class VirtualPad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    layer = SDLInputDeviceLayer();
  }
  void TearDown() override {
    layer->Shutdown();
    if (joystick) SDL_JoystickClose(joystick);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
  void Attach() {
    index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    joystick = SDL_JoystickOpen(index);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
  }
  void Press(SDL_GameControllerButton button, bool down) { SDL_JoystickSetVirtualButton(joystick, button, down); }
  std::vector<std::pair<int, int>> Events() {
    std::vector<std::pair<int, int>> got;
    InputElementEvent e;
    while (layer->NextEvent(&e)) got.push_back({e.element, e.value});
    return got;
  }

  InputDeviceLayer* layer = nullptr;
  int index = -1;
  SDL_Joystick* joystick = nullptr;
  InputNeed needs[16] = {};
};

TEST_F(VirtualPad, NoPadMeansNoDevices) {
  SInt32 devices = -1;
  ASSERT_EQ(layer->Startup(&devices), 0);
  EXPECT_EQ(devices, 0);
  UInt32 axes[2];
  layer->ComplexState(1, axes);
  EXPECT_EQ(axes[0], 0x80000000u);
  EXPECT_EQ(layer->SimpleState(6), 0);
}

TEST_F(VirtualPad, ButtonsAndDirectionPadBecomeElementEvents) {
  Attach();
  SInt32 devices = 0;
  ASSERT_EQ(layer->Startup(&devices), 0);
  ASSERT_EQ(devices, 1);
  ASSERT_EQ(layer->Init(needs, 16), 0);
  EXPECT_TRUE(Events().empty());
  Press(SDL_CONTROLLER_BUTTON_A, true);
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
  Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{0, 2}, {6, 1}}));  // up-left, fire
  EXPECT_EQ(layer->SimpleState(6), 1);
  Press(SDL_CONTROLLER_BUTTON_A, false);
  Press(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
  Press(SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(Events(), (std::vector<std::pair<int, int>>{{0, 1}, {6, 0}, {15, 1}}));
  Press(SDL_CONTROLLER_BUTTON_BACK, true);
  layer->FlushEvents();
  EXPECT_TRUE(Events().empty());
}

TEST_F(VirtualPad, StickAxesAreUnsignedAndCentred) {
  Attach();
  SInt32 devices = 0;
  ASSERT_EQ(layer->Startup(&devices), 0);
  struct Case {
    Sint16 value;
    UInt32 axis;
  };
  for (const Case& c : {Case{0, 0x80000000u}, Case{-32768, 0u}, Case{32767, 0xFFFF0000u}}) {
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, c.value);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, c.value);
    UInt32 axes[2];
    layer->ComplexState(1, axes);
    EXPECT_EQ(axes[0], c.axis) << c.value;
    EXPECT_EQ(axes[1], c.axis) << c.value;
    layer->ComplexState(8, axes);  // player 2 has no pad
    EXPECT_EQ(axes[0], 0x80000000u);
  }
  layer->Rumble(0, 0.5f, 10);  // a virtual pad cannot rumble; nothing breaks
  EXPECT_EQ(layer->RumbleCount(), 0);
}

}  // namespace
