#include <deque>
#include <vector>

#include "ShellFixture.h"
#include "shell/InputDevices.h"
#include "shell/StandardDialog.h"
#include "shell/TaskKeys.h"
#include "support/ScriptedDialogPresenter.h"

namespace {

// A device layer for tests: scripted events, axes and buttons.
struct FakeDevices : InputDeviceLayer {
  FakeDevices() { previous = SetInputDeviceLayer(this); }
  ~FakeDevices() override { SetInputDeviceLayer(previous); }
  SInt32 Startup(SInt32* n) override {
    *n = devices;
    return startupResult;
  }
  SInt32 Configure() override { return configureResult; }
  SInt32 Init(const InputNeed* needs, SInt32 count) override {
    names.clear();
    for (SInt32 i = 0; i < count; i++)
      names.emplace_back(reinterpret_cast<const char*>(needs[i].name + 1), needs[i].name[0]);
    return 0;
  }
  void FlushEvents() override { events.clear(); }
  bool NextEvent(InputElementEvent* e) override {
    if (events.empty()) return false;
    *e = events.front();
    events.pop_front();
    return true;
  }
  void ComplexState(SInt32 element, UInt32 a[2]) override {
    a[0] = axes[element][0];
    a[1] = axes[element][1];
  }
  SInt32 SimpleState(SInt32 element) override { return buttons[element]; }
  SInt32 RumbleCount() override { return rumblers; }
  void Rumble(SInt32 device, float, UInt32) override { rumbles.push_back(device); }
  void Shutdown() override {}

  SInt32 devices = 1, startupResult = 0, configureResult = 0, rumblers = 1;
  std::deque<InputElementEvent> events;
  UInt32 axes[16][2] = {};
  SInt32 buttons[16] = {};
  std::vector<std::string> names;
  std::vector<SInt32> rumbles;
  InputDeviceLayer* previous;
};

class InputDevices : public ShellTest {
 protected:
  InputDevices() {
    for (auto& a : devices.axes) a[0] = a[1] = 0x80000000u;
    SetInputBlocks(block, trig);
    InstallInputHooks();
    ispREADY = ispTRIED = false;
    inputMouseMODE = false;
  }
  ~InputDevices() override {
    ispREADY = false;
    SetInputBlocks(nullptr, nullptr);
  }
  void Start() {
    ASSERT_EQ(InitInputrix(), 0);
    ISpReset();
    FlushInputs();
  }
  SInt16 Axis(int player, bool horizontal) {
    int at = 12 + 4 * player + (horizontal ? 2 : 0);
    return SInt16(UInt16(block[at] | block[at + 1] << 8));
  }
  std::vector<int> Directions(int player) {
    return {block[0 + player], block[2 + player], block[4 + player], block[6 + player]};  // left right up down
  }
  FakeEventPlatform platform;
  FakeDevices devices;
  UInt8 block[kInputBlockBytes] = {}, trig[kInputBlockBytes] = {};
};

TEST_F(InputDevices, WithoutADeviceEverythingFallsBack) {
  devices.devices = 0;
  EXPECT_EQ(InitInputrix(), -1);
  EXPECT_FALSE(InputSprocketsReady());
  EXPECT_FALSE(AnySprocketInput());
  platform.button = true;
  EXPECT_TRUE(Button2());
  platform.button = false;
  EXPECT_FALSE(StillDown2());
  HandleInputs();
  FlushInputs();
  EXPECT_FALSE(AnyHIDInput());
}

TEST_F(InputDevices, NeedsAreDeclaredInOrder) {
  Start();
  ASSERT_EQ(devices.names.size(), 16u);
  EXPECT_EQ(devices.names[0], "1p D-Pad");
  EXPECT_EQ(devices.names[6], "1p Fire");
  EXPECT_EQ(devices.names[8], "2p Joystick");
  EXPECT_EQ(devices.names[15], "Return");
  EXPECT_EQ(APPL.inputNeedCount, 16);
  EXPECT_EQ(APPL.inputNeeds, theElement);
}

TEST_F(InputDevices, DirectionPadDecodingClearsTheOldDirection) {
  Start();
  struct Case {
    SInt32 value;
    std::vector<int> lrud;
  };
  const Case cases[] = {{1, {1, 0, 0, 0}}, {2, {1, 0, 1, 0}}, {3, {0, 0, 1, 0}}, {4, {0, 1, 1, 0}}, {5, {0, 1, 0, 0}},
                        {6, {0, 1, 0, 1}}, {7, {0, 0, 0, 1}}, {8, {1, 0, 0, 1}}, {0, {0, 0, 0, 0}}};
  for (const Case& c : cases) {
    devices.events.push_back({7, c.value});  // player 2's pad
    ProcessInputs();
    EXPECT_EQ(Directions(1), c.lrud) << c.value;
    EXPECT_EQ(Directions(0), (std::vector<int>{0, 0, 0, 0}));
  }
}

TEST_F(InputDevices, ButtonsFireAndKeys) {
  Start();
  devices.events = {{2, 1}, {6, 1}, {6, 0}, {14, 1}, {15, 1}};
  ProcessInputs();
  EXPECT_EQ(block[4], 1);   // 1p up
  EXPECT_EQ(block[8], 1);   // fire only sets
  EXPECT_EQ(block[10], 1);  // Escape
  EXPECT_EQ(block[11], 1);  // Return
  devices.events = {{2, 0}};
  ProcessInputs();
  EXPECT_EQ(block[4], 0);
  EXPECT_EQ(block[11], 0);  // Return is cleared each step, Escape is not
  EXPECT_EQ(block[10], 1);
  EXPECT_EQ(trig[11], 1);  // the previous step's copy
  // While the device drives the pointer, Escape and Return are not taken.
  inputMouseMODE = true;
  block[10] = 0;
  devices.events = {{14, 1}};
  ProcessInputs();
  EXPECT_EQ(block[10], 0);
  devices.events = {{3, 1}};  // a direction gives the controls back
  ProcessInputs();
  EXPECT_FALSE(inputMouseMODE);
  ResetInputs();
  EXPECT_EQ(block[3 * 2], 0);
  EXPECT_EQ(trig[11], 0);
}

TEST_F(InputDevices, AnalogAxesScaleToSteps) {
  Start();
  struct Case {
    UInt32 axis;
    SInt16 step;
  };
  const Case cases[] = {{0x00000000u, -8}, {0x80000000u, 0}, {0xFFFFFFFFu, 8}, {0xC0000000u, 4}, {0x70000000u, -1}};
  for (const Case& c : cases) {
    devices.axes[1][0] = c.axis;
    devices.axes[8][1] = c.axis;
    ProcessInputs();
    EXPECT_EQ(Axis(0, true), c.step) << std::hex << c.axis;
    EXPECT_EQ(Axis(1, false), c.step) << std::hex << c.axis;
  }
}

TEST_F(InputDevices, InterruptInputMovesThePointer) {
  Start();
  devices.axes[1][0] = 0xF0000000u;  // 15 - 8 = 7, held to 6: (6 - 1)^2
  devices.axes[1][1] = 0x00000000u;  // -8, held to -6: up, so +25 after the flip
  devices.axes[8][0] = 0x90000000u;  // 1: the dead zone
  devices.buttons[13] = 1;           // 2p fire
  devices.buttons[15] = 1;
  SInt16 dh, dv;
  UInt8 fire, ret, esc;
  DoInterruptInput(&dh, &dv, &fire, &ret, &esc);
  EXPECT_EQ(dh, 25);
  EXPECT_EQ(dv, 25);
  EXPECT_TRUE(fire);
  EXPECT_TRUE(ret);
  EXPECT_FALSE(esc);
  EXPECT_EQ(Axis(0, true), 6);
  EXPECT_EQ(Axis(0, false), -6);
  // Motion makes the device the pointer, and its fire a click.
  EXPECT_TRUE(Button2());
  EXPECT_TRUE(inputMouseMODE);
}

TEST(UseAnalogTest, RepeatsByStrength) {
  struct Case {
    char value;
    std::vector<int> highs;  // per call
  };
  const Case cases[] = {{8, {1, 1, 1, 1}}, {3, {1, 0, 1, 0}}, {2, {1, 0, 0, 1}}, {1, {0, 0, 0, 0}}};
  for (const Case& c : cases) {
    UInt8 low = 0, high = 0;
    char direction = 0, accumulator = 0;
    std::vector<int> highs;
    for (int i = 0; i < 4; i++) {
      UseAnalog(c.value, &low, &high, &direction, &accumulator);
      highs.push_back(high);
      EXPECT_EQ(low, 0);
    }
    EXPECT_EQ(highs, c.highs) << int(c.value);
  }
  UInt8 low = 0, high = 0;
  char direction = 0, accumulator = 0;
  UseAnalog(5, &low, &high, &direction, &accumulator);
  UseAnalog(-5, &low, &high, &direction, &accumulator);  // a reversal steps at once
  EXPECT_EQ(low, 1);
  EXPECT_EQ(direction, -1);
  UseAnalog(0, &low, &high, &direction, &accumulator);
  EXPECT_EQ(direction, 0);
  EXPECT_EQ(accumulator, 0);
}

TEST_F(InputDevices, FeedbackSettingsAndDialogs) {
  Start();
  EXPECT_TRUE(forceREADY);
  forceFEEDBACK = true;
  forcePLAYER[0] = true;
  TestDeviceFeedback(1);
  EXPECT_TRUE(devices.rumbles.empty()) << "trying a device does nothing";
  ScriptedDialogPresenter presenter;
  presenter.ClickTitle("Cancel");
  ForceFeedbackDialog();
  ASSERT_EQ(presenter.shown.size(), 1u);
  EXPECT_EQ(presenter.shown[0].bounds.right - presenter.shown[0].bounds.left, 464);
  EXPECT_EQ(presenter.shown[0].bounds.bottom - presenter.shown[0].bounds.top, 156);
  EXPECT_TRUE(forcePLAYER[0]);
  presenter.ClickTitle("Save");
  forceDEVICE[1] = 2;
  ForceFeedbackDialog();
  EXPECT_EQ(forceDEVICE[1], 2);
  EXPECT_TRUE(forceFEEDBACK);
  devices.configureResult = 7;
  inputMouseON = true;
  InputDevicesDialog(nullptr);
  ASSERT_FALSE(dialogs.Reports().empty());
  EXPECT_EQ(dialogs.Reports().back().message, "An error occured trying to configure Input Sprockets.");
  EXPECT_EQ(dialogs.Reports().back().detail, "7");
  EXPECT_TRUE(inputMouseON);  // switched off only while configuring
  inputMouseON = false;
}

TEST_F(InputDevices, FeedbackChoicesFollowTheirCheckBoxes) {
  Start();
  forceFEEDBACK = false;
  forcePLAYER[0] = forcePLAYER[1] = false;
  forceDEVICE[0] = 0;
  WindowRef window = NewForceFeedbackDialog();
  ControlRef feedback = GetControlByCommand(window, FOUR_CHAR('f', 'f', 'b', 'k'));
  ControlRef player1 = GetControlByCommand(window, FOUR_CHAR('p', 'l', 'y', '1'));
  ControlRef device1 = GetControlByCommand(window, FOUR_CHAR('d', 'e', 'v', '1'));
  ASSERT_TRUE(feedback && player1 && device1);
  EXPECT_EQ(player1->hilite, kControlInactive);
  ClickDialogControl(feedback);
  EXPECT_EQ(player1->hilite, kControlActive);
  EXPECT_EQ(device1->hilite, kControlInactive);
  ClickDialogControl(player1);
  EXPECT_EQ(device1->hilite, kControlActive);
  EXPECT_TRUE(devices.rumbles.empty()) << "enabling a player tries nothing";
  EXPECT_EQ(device1->maximum, 4);
  SaveForceFeedbackDialog(window);
  EXPECT_TRUE(forceFEEDBACK);
  EXPECT_TRUE(forcePLAYER[0]);
  EXPECT_FALSE(forcePLAYER[1]);
  DisposeForceFeedbackDialog(window);
  forceREADY = false;  // nothing can rumble: the whole dialog stays off
  window = NewForceFeedbackDialog();
  EXPECT_EQ(GetControlByCommand(window, FOUR_CHAR('f', 'f', 'b', 'k'))->hilite, kControlInactive);
  EXPECT_EQ(GetControlByCommand(window, FOUR_CHAR('d', 'm', 'g', '2'))->hilite, kControlInactive);
  DisposeForceFeedbackDialog(window);
}

}  // namespace

namespace {

// The program's own layer, with no pad attached, answers as for an absent
// device application.
TEST(InputDevicesSDL, NoPadAnswersAsAnAbsentDevice) {
  ispREADY = false;
  EXPECT_EQ(InitInputrix(), -1);
  EXPECT_FALSE(InputSprocketsReady());
  GetInputDeviceLayer()->Shutdown();
}

}  // namespace
