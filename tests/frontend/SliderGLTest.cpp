#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "frontend/Resources.h"
#include "frontend/controls/SliderGL.h"
#include "sound/AudioPrefs.h"

namespace {

TEST(AudioSliderTest, VolumesAndLampsConvertBothWays) {
  struct Case {
    SInt16 volume, value;
  };
  for (Case c : {Case{0, 0}, Case{30, 0}, Case{31, 1}, Case{192, 6}, Case{254, 7}, Case{255, 8}}) {
    SCOPED_TRACE(c.volume);
    EXPECT_EQ(VolumeToSliderValue(c.volume), c.value);
  }
  EXPECT_EQ(SliderValueToVolume(0), 0);
  EXPECT_EQ(SliderValueToVolume(6), 192);
  EXPECT_EQ(SliderValueToVolume(8), 255);  // not 256
}

// The audio sliders beside two 100 x 20 buttons, with 10 x 10 lamps at
// scale 1: the effects row at h 208..288, its hit rectangle from 198.
class AudioSlidersTest : public ::testing::Test {
 protected:
  AudioSlidersTest() {
    FakeImage(&volumeIMAGE, 10, 10);
    FakeLoad(&dinkSND, 44);
    audioPREFS.soundOn = 1;
    audioPREFS.soundVolume = 192;
    audioPREFS.musicVolume = 0;
    sound.bounds = Rect{100, 100, 120, 200};
    music.bounds = Rect{140, 132, 160, 232};
    SetupAudioSliders(&sound, &music, 1.0f);
  }
  ~AudioSlidersTest() override {
    FakeImage(&volumeIMAGE, 0, 0, false);
    dinkSND.buffers[0] = 0;
    audioPREFS.soundVolume = audioPREFS.musicVolume = 192;
  }
  void Pass(UInt8 down, UInt8 clicked, SInt16 h, SInt16 v) {
    UserInput in{down, clicked, Point{v, h}};
    HandleAudioSliders(&in);
  }
  ControlTestRecorders rec;
  ButtonGL sound, music;
};

TEST_F(AudioSlidersTest, LayoutBesideTheButtonsAndValuesFromThePreferences) {
  const AudioSlider& e = audioSLIDER[kEffectsSlider];
  const AudioSlider& m = audioSLIDER[kMusicSlider];
  EXPECT_EQ(e.bounds.left, 208);
  EXPECT_EQ(e.bounds.right, 288);
  EXPECT_EQ(e.bounds.top, 104);  // centred on the button, one pixel up
  EXPECT_EQ(e.bounds.bottom, 114);
  EXPECT_EQ(e.hitRect.left, 198);
  EXPECT_EQ(e.hitRect.right, 278);
  EXPECT_EQ(m.bounds.left, 208);  // lined up with the effects row
  EXPECT_EQ(m.bounds.top, 144);
  EXPECT_EQ(e.max, 8);
  EXPECT_EQ(e.value, 6);
  EXPECT_EQ(m.value, 0);
}

TEST_F(AudioSlidersTest, PressOnALampSetsTheVolumeAndPlaysAtTheNewLoudness) {
  Pass(1, 1, 222, 108);  // on the second lamp
  EXPECT_EQ(audioSLIDER[kEffectsSlider].value, 2);
  EXPECT_EQ(audioPREFS.soundVolume, 64);
  ASSERT_EQ(rec.sounds.size(), 1u);
  EXPECT_EQ(rec.sounds[0].buffer, 44u);
  EXPECT_FLOAT_EQ(rec.sounds[0].gain, 64 / 255.0f);
  Pass(1, 0, 222, 108);  // holding still plays nothing
  EXPECT_EQ(rec.sounds.size(), 1u);
  Pass(0, 0, 222, 108);
  EXPECT_EQ(pressedCONTROL, nullptr);
}

// A press on lamp i gives i + 1, the eighth lamp included; within one lamp
// left of the row 0; right of the row nothing.
TEST_F(AudioSlidersTest, EachLampPressedGivesItsValue) {
  struct Case {
    SInt16 h;
    SInt16 value;  // -1: the press misses the row
  };
  const Case cases[] = {{197, -1}, {198, 0}, {207, 0}, {208, 1}, {217, 1}, {218, 2},
                        {258, 6},  {278, 8}, {282, 8}, {287, 8}, {288, -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.h);
    audioSLIDER[kEffectsSlider].value = 4;
    audioPREFS.soundVolume = 128;
    Pass(1, 1, c.h, 108);
    Pass(0, 0, c.h, 108);
    EXPECT_EQ(audioSLIDER[kEffectsSlider].value, c.value < 0 ? 4 : c.value);
    EXPECT_EQ(audioPREFS.soundVolume, c.value < 0 ? 128 : SliderValueToVolume(c.value));
  }
}

TEST_F(AudioSlidersTest, DraggingPlaysOncePerChangeAndKeepsToTheEnds) {
  Pass(1, 1, 200, 108);  // left of the first lamp: off
  EXPECT_EQ(audioSLIDER[kEffectsSlider].value, 0);
  EXPECT_EQ(audioPREFS.soundVolume, 0);
  const size_t first = rec.sounds.size();
  Pass(1, 0, 210, 108);
  Pass(1, 0, 220, 108);
  Pass(1, 0, 225, 108);  // same lamp
  Pass(1, 0, 230, 108);
  EXPECT_EQ(rec.sounds.size(), first + 3);
  EXPECT_EQ(audioSLIDER[kEffectsSlider].value, 3);
  Pass(1, 0, 600, 300);  // far right and off the row while held
  EXPECT_EQ(audioSLIDER[kEffectsSlider].value, 8);
  EXPECT_EQ(audioPREFS.soundVolume, 255);
  Pass(1, 0, 0, 0);
  EXPECT_EQ(audioSLIDER[kEffectsSlider].value, 0);
  Pass(0, 0, 0, 0);
}

TEST_F(AudioSlidersTest, MusicSliderChangesOnlyTheMusicVolume) {
  Pass(1, 1, 250, 148);
  Pass(0, 0, 250, 148);
  EXPECT_EQ(audioSLIDER[kMusicSlider].value, 5);
  EXPECT_EQ(audioPREFS.musicVolume, 160);
  EXPECT_EQ(audioPREFS.soundVolume, 192);
  EXPECT_TRUE(rec.sounds.empty());
}

TEST_F(AudioSlidersTest, PressBegunOnAButtonDoesNotMoveTheSlider) {
  UserInput in{1, 1, Point{110, 150}};
  sound.HandleInput(&in, 4, 0);
  HandleAudioSliders(&in);
  in.where = Point{108, 250};
  sound.HandleInput(&in, 4, 0);
  HandleAudioSliders(&in);
  EXPECT_EQ(audioSLIDER[kEffectsSlider].value, 6);
  EXPECT_EQ(audioPREFS.soundVolume, 192);
  in.down = 0;
  sound.HandleInput(&in, 4, 0);
  HandleAudioSliders(&in);
}

TEST_F(AudioSlidersTest, LampsLitUpToTheValue) {
  audioSLIDER[kEffectsSlider].value = 3;
  audioSLIDER[kEffectsSlider].Draw(1.0f);
  auto lamps = rec.DrawsOf(volumeIMAGE);
  ASSERT_EQ(lamps.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lamps[i].rect.left, 208 + 10 * i);
    EXPECT_EQ(lamps[i].rect.top, 104);
    EXPECT_FLOAT_EQ(lamps[i].red, i < 3 ? 1.0f : 0.25f);
  }
}

TEST(SliderTest, DisabledOrRangelessSliderTakesNoInput) {
  ControlTestRecorders rec;
  SliderGL s;
  s.bounds = Rect{0, 0, 10, 100};
  s.value = 40;
  s.enabled = 0;
  UserInput in{1, 1, Point{5, 90}};
  EXPECT_EQ(s.HandleInput(&in), nullptr);
  EXPECT_EQ(s.value, 40);
  s.enabled = 1;
  s.max = s.min;
  s.HandleInput(&in);
  EXPECT_EQ(s.value, 40);
  s.max = 100;
  EXPECT_EQ(s.HandleInput(&in), &s);
  EXPECT_EQ(s.value, 90);
  EXPECT_EQ(s.hilite, 1);
}

TEST(SliderTest, SlideSoundPlaysOnEachChangeButNotAsThePressBegins) {
  ControlTestRecorders rec;
  ALSound slide;
  FakeLoad(&slide, 71);
  SliderGL s;
  s.slideSound = &slide;
  s.bounds = Rect{0, 0, 10, 100};
  s.max = 10;
  s.value = 3;
  UserInput in{1, 1, Point{5, 35}};
  s.HandleInput(&in);  // lands on the value it had
  EXPECT_TRUE(rec.sounds.empty());
  for (SInt16 h : {36, 52, 55, 71}) {
    in.where.h = h;
    s.HandleInput(&in);
  }
  EXPECT_EQ(s.value, 7);
  ASSERT_EQ(rec.sounds.size(), 2u);  // to 5, then to 7
  EXPECT_EQ(rec.sounds[0].buffer, 71u);
  in.down = 0;
  EXPECT_EQ(s.HandleInput(&in), &s);
}

TEST(SliderTest, TrackAndKnobDrawing) {
  ControlTestRecorders rec;
  SliderGL s;
  s.bounds = Rect{0, 0, 20, 100};
  FakeImage(&mainGUI.sliderSkin[0], 10, 20);
  FakeImage(&mainGUI.sliderSkin[1], 22, 20);
  FakeImage(&mainGUI.sliderSkin[2], 10, 20);
  FakeImage(&mainGUI.sliderKnob, 10, 12);
  s.value = 50;
  s.Draw();
  // Caps and pieces two pixels narrower than their images.
  auto left = rec.DrawsOf(mainGUI.sliderSkin[0]);
  auto right = rec.DrawsOf(mainGUI.sliderSkin[2]);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].rect.right, 8);
  EXPECT_EQ(right[0].rect.left, 92);
  auto middle = rec.DrawsOf(mainGUI.sliderSkin[1]);
  ASSERT_EQ(middle.size(), 5u);  // 8-28, 28-48, 48-68, 68-88, 88-92
  EXPECT_EQ(middle[4].rect.left, 88);
  EXPECT_EQ(middle[4].rect.right, 92);
  auto knob = rec.DrawsOf(mainGUI.sliderKnob);
  ASSERT_EQ(knob.size(), 2u);  // shadow, then the knob
  EXPECT_EQ(s.knobRect.left, 45);
  EXPECT_EQ(s.knobRect.top, 4);
  EXPECT_EQ(knob[0].rect.left, 47);
  EXPECT_FLOAT_EQ(knob[0].alpha, 0.15f);
  EXPECT_EQ(knob[1].rect.left, 45);
  for (ImageGL* i : {&mainGUI.sliderSkin[0], &mainGUI.sliderSkin[1], &mainGUI.sliderSkin[2], &mainGUI.sliderKnob})
    FakeImage(i, 0, 0, false);
}

}  // namespace
