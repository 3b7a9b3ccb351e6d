#include "frontend/controls/SliderGL.h"

#include <algorithm>

#include "frontend/Resources.h"
#include "frontend/controls/SkinDrawing.h"
#include "sound/AudioPrefs.h"
#include "sound/CompressedSound.h"

AudioSlider audioSLIDER[2];

namespace {
// The slider's own press memory; a press may begin on it without a click.
bool goodOrigin = true;
ControlGL* firstControl = nullptr;

const int kLamps = 8;
}  // namespace

void ResetSliderPress() {
  goodOrigin = true;
  firstControl = nullptr;
}

SliderGL::SliderGL() : slideSound(&mainGUI.sliderSound), knobRect{0, 0, 0, 0} {
  type = kSlider;
  skin = mainGUI.sliderSkin;
  secondResource = &mainGUI.sliderKnob;
}

ControlGL* SliderGL::HandleInput(UserInput* input) {
  if (!enabled) return nullptr;
  if (EmptyControlRect(hitRect)) hitRect = bounds;
  ControlGL* result = nullptr;
  if (input->down == 0) {
    if (pressedCONTROL == this) {
      if (hilite) result = this;
      hilite = 0;
      pressedCONTROL = nullptr;
    }
    firstControl = nullptr;
    goodOrigin = true;
  } else if (input->down == 1) {
    // The hit rectangle may be moved off the drawn slider to shift the
    // values (the volume lamps' is one lamp to the left); a press on what is
    // drawn counts all the same, and maps to the top of the range there.
    const bool inside = InsideControlRect(hitRect, input->where) || InsideControlRect(bounds, input->where);
    if (goodOrigin && inside) {
      if (!pressedCONTROL) pressedCONTROL = this;
    } else {
      hilite = 0;
      if (firstControl == this && !pressedCONTROL) goodOrigin = false;
    }
    // A slider without a range or a width cannot map the pointer.
    const int width = hitRect.right - hitRect.left;
    if (pressedCONTROL == this && goodOrigin && max > min && width > 0) {
      const SInt16 before = value;
      const int v = min + (input->where.h - hitRect.left) * (max - min) / width;
      value = SInt16(std::clamp(v, int(min), int(max)));
      hilite = 1;
      result = this;
      if (value != before) PlayControlSound(slideSound, &bounds);
    }
  }
  if (input->down && !firstControl) firstControl = this;
  return result;
}

void SliderGL::UpdateKnob(const ImageGL& knob) {
  if (EmptyControlRect(hitRect)) hitRect = bounds;
  const int width = hitRect.right - hitRect.left;
  const int offset = max > min ? (value - min) * width / (max - min) : 0;
  SetRect2(&knobRect, hitRect.left + offset - knob.Width() / 2,
           hitRect.top + (hitRect.bottom - hitRect.top) / 2 - knob.Height() / 2, knob.Width(), knob.Height());
}

void SliderGL::Draw() {
  const float alpha = enabled ? 1.0f : 0.33f;
  for (int k = 0; k < 3; ++k) {
    skin[k].SetBright(1.0f);
    skin[k].alpha = alpha;
  }
  // Each cap and full middle piece is drawn 2 pixels narrower than its image.
  DrawThreePart(skin, bounds, skin[0].Width() - 2, skin[1].Width() - 2, skin[2].Width() - 2, false);
  ImageGL& knob = *static_cast<ImageGL*>(secondResource);
  UpdateKnob(knob);
  if (enabled) {
    Rect shadow = OffsetControlRect(knobRect, 2, 2);
    knob.SetBright(0.0f);
    knob.alpha = 0.15f;
    knob.Draw(&shadow);
  }
  knob.SetBright(hilite ? 0.75f : 1.0f);
  knob.alpha = alpha;
  knob.Draw(&knobRect);
}

void AudioSlider::Draw(float scale) {
  const int w = int(volumeIMAGE.Width() * scale), h = int(volumeIMAGE.Height() * scale);
  const int top = bounds.top + (bounds.bottom - bounds.top) / 2 - h / 2;
  // The lamps share one picture: one draw for the row.
  ImageQuad lamps[kLamps];
  for (int i = 0; i < kLamps; ++i) {
    const float bright = i < value ? 1.0f : 0.25f;
    const float left = float(bounds.left + i * w);
    lamps[i] =
        ImageQuad{RectF{float(top), left, float(top + h), left + float(w)}, bright, bright, bright, volumeIMAGE.alpha};
  }
  DrawImageQuads(&volumeIMAGE, lamps, kLamps);
  volumeIMAGE.SetBright(lamps[kLamps - 1].red);
  UpdateKnob(*static_cast<ImageGL*>(secondResource));
}

SInt16 VolumeToSliderValue(SInt16 volume) { return SInt16((volume + 1) / 32); }

SInt16 SliderValueToVolume(SInt16 value) { return SInt16(std::min(value * 32, 255)); }

namespace {
// The row of lamps beside a button, centred on it vertically.
void LayBeside(AudioSlider& slider, const Rect& button, int left, float scale) {
  const int rowWidth = int(kLamps * volumeIMAGE.Width() * scale);
  const int hh = int(volumeIMAGE.Height() * scale);
  Rect& b = slider.bounds;
  b = button;
  b.left = SInt16(left);
  b.right = SInt16(left + rowWidth);
  b.top = SInt16(button.top + (button.bottom - button.top) / 2 - hh / 2);
  b.bottom = SInt16(b.top + hh);
}
}  // namespace

void SetupAudioSliders(ButtonGL* soundButton, ButtonGL* musicButton, float scale) {
  LayBeside(audioSLIDER[kEffectsSlider], soundButton->bounds, soundButton->bounds.right + 8, scale);
  LayBeside(audioSLIDER[kMusicSlider], musicButton->bounds, audioSLIDER[kEffectsSlider].bounds.left, scale);
  const int lamp = int(volumeIMAGE.Width() * scale);
  for (AudioSlider& s : audioSLIDER) {
    s.bounds = OffsetControlRect(s.bounds, 0, -1);
    // A press on lamp i gives i + 1, and one lamp's width left of the row 0.
    s.hitRect = OffsetControlRect(s.bounds, -lamp, 0);
    s.min = 0;
    s.max = kLamps;
  }
  audioSLIDER[kEffectsSlider].value = VolumeToSliderValue(audioPREFS.soundVolume);
  audioSLIDER[kMusicSlider].value = VolumeToSliderValue(audioPREFS.musicVolume);
}

void HandleAudioSliders(UserInput* input) {
  AudioSlider& effects = audioSLIDER[kEffectsSlider];
  if (effects.HandleInput(input)) {
    const SInt16 volume = SliderValueToVolume(effects.value);
    if (volume != audioPREFS.soundVolume) {
      audioPREFS.soundVolume = volume;
      // Played after the change, so it is heard at the new loudness.
      PlaySound_Game(&dinkSND, NextChan_Game(), &effects.bounds, 1.0f, 1.0f, 0);
    }
  }
  AudioSlider& music = audioSLIDER[kMusicSlider];
  if (music.HandleInput(input)) {
    const SInt16 volume = SliderValueToVolume(music.value);
    if (volume != audioPREFS.musicVolume) {
      audioPREFS.musicVolume = volume;
      UpdateMusicVolume();
    }
  }
}
