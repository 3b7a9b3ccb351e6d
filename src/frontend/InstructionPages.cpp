#include "frontend/InstructionPages.h"

#include <cmath>
#include <memory>
#include <string>

#include "foundation/Clock.h"
#include "foundation/Paths.h"
#include "frontend/GameFrames.h"
#include "frontend/Preferences.h"
#include "frontend/Scores.h"
#include "frontend/screens/HelpScreen.h"
#include "game/Game.h"
#include "game/GameObjects.h"
#include "graphics/GameWindow.h"
#include "graphics/Layout.h"
#include "graphics/OpenGLFrame.h"
#include "graphics/PNGFile.h"
#include "graphics/PixMapRegistry.h"
#include "graphics/PixmapText.h"
#include "graphics/Ports.h"
#include "platform/KeyCodes.h"
#include "platform/QuickDrawColor.h"
#include "platform/QuickDrawPicture.h"
#include "shell/AllEvents.h"
#include "shell/ApplInfo.h"
#include "shell/ColorCursors.h"
#include "shell/Events.h"
#include "shell/Launching.h"

UInt8 curPage;
Rect infoRect, textPict, textRect, topicPict[kTopicBands], topicRect, choicePict[kChoices], choiceRect[kChoices],
    linkRect, blimpRect, brangRect, enemRect, spinRect, wingRect, roidRect[3], powRect[3];
UInt8 roidSteps[3], enemSteps, enemDir, enemDelay, wingSteps, spinSteps, powSteps[3];
PixMapHandle tempPmap;

namespace {

// The panel's flat inside: the slots are painted in it between pictures.
const RGBColor kPanelInside = {10 * 257, 16 * 257, 36 * 257};
const RGBColor kBlack = {0, 0, 0};

// A decoded picture, straight RGBA, rows top to bottom.
struct Pixels {
  std::unique_ptr<UInt8[]> rgba;
  SInt32 width = 0, height = 0;

  // A missing picture leaves nothing to draw.
  void Load(const std::string& name) {
    std::string path = GetResourcesPath() + "/" + name + ".png";
    rgba.reset(LoadPNG(path.c_str(), &width, &height, 0, nullptr, nullptr));
  }
  Rect Bounds() const { return Rect{0, 0, SInt16(height), SInt16(width)}; }
};

// The pictures the viewer draws from, decoded while it is open.
struct Pictures {
  Pixels topics, panel, page, meteors, enemies, blimp, boomerang;
  UInt8 pageShown = 0;
};
Pictures* pictures;

SInt16 Width(const Rect& r) { return SInt16(r.right - r.left); }
SInt16 Height(const Rect& r) { return SInt16(r.bottom - r.top); }

bool Inside(Point p, const Rect& r) { return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom; }

// A w by h rectangle centred on (h, v).
Rect Centred(SInt16 h, SInt16 v, SInt16 w, SInt16 hgt) {
  Rect r;
  SetRect2(&r, h - w / 2, v - hgt / 2, w, hgt);
  return r;
}

// A rectangle from an origin and the size of another.
Rect SizedAt(SInt16 left, SInt16 top, const Rect& size) {
  Rect r;
  SetRect2(&r, left, top, Width(size), Height(size));
  return r;
}

void StorePixel(PixMapHandle pm, SInt32 x, SInt32 y, const RGBColor& c) {
  PixMap& p = **pm;
  UInt8* row = reinterpret_cast<UInt8*>(p.baseAddr) + (y - p.bounds.top) * (p.rowBytes & 0x7FFF);
  UInt32 value = ColorToPixel(c, pm);
  if (p.pixelSize == 32)
    reinterpret_cast<UInt32*>(row)[x - p.bounds.left] = value;
  else
    reinterpret_cast<UInt16*>(row)[x - p.bounds.left] = UInt16(value);
}

enum class Put {
  Blend,  // over what the pixmap holds
  Keyed,  // opaque pixels only, over black, never the black key itself
};

// Draws `src` of the picture into `dst` of a 16 or 32-bit pixmap (nearest
// pixel), turned by `degrees` about the rectangle's centre.
void PutPicture(const Pixels& pic, const Rect& src, PixMapHandle pm, const Rect& dst, Put put, double degrees = 0) {
  if (!pic.rgba || !pm || !(*pm)->baseAddr || (*pm)->pixelSize < 16 || Width(src) <= 0 || Height(src) <= 0) return;
  const Rect& bounds = (*pm)->bounds;
  double radians = degrees * M_PI / 180, c = std::cos(radians), s = std::sin(radians);
  double cx = (dst.left + dst.right) / 2.0, cy = (dst.top + dst.bottom) / 2.0;
  double sx = double(Width(src)) / Width(dst), sy = double(Height(src)) / Height(dst);
  for (SInt32 y = std::max(dst.top, bounds.top); y < std::min(dst.bottom, bounds.bottom); ++y) {
    for (SInt32 x = std::max(dst.left, bounds.left); x < std::min(dst.right, bounds.right); ++x) {
      // The source point that lands here, turned back.
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      double u = (c * dx + s * dy) * sx + (src.left + src.right) / 2.0;
      double v = (-s * dx + c * dy) * sy + (src.top + src.bottom) / 2.0;
      SInt32 px = SInt32(std::floor(u)), py = SInt32(std::floor(v));
      if (px < src.left || px >= src.right || py < src.top || py >= src.bottom) continue;
      if (px < 0 || py < 0 || px >= pic.width || py >= pic.height) continue;
      const UInt8* p = &pic.rgba[(size_t(py) * pic.width + px) * 4];
      UInt32 a = p[3];
      if (a == 0 || (put == Put::Keyed && a < 128)) continue;
      RGBColor under = put == Put::Blend ? PixelColor(pm, x, y) : kBlack;
      auto mix = [&](UInt8 top, UInt16 bottom) { return UInt16((top * 257u * a + bottom * (255u - a)) / 255u); };
      RGBColor out{mix(p[0], under.red), mix(p[1], under.green), mix(p[2], under.blue)};
      if (put == Put::Keyed && ColorToPixel(out, pm) == ColorToPixel(kBlack, pm)) out.blue = 0x0900;
      StorePixel(pm, x, y, out);
    }
  }
}

void PaintIn(const Rect& r, const RGBColor& colour) {
  RGBForeColor(&colour);
  PaintRect(&r);
}

// The object of a slot at its counter: the frame's picture in its sheet.
void PutFrame(const Pixels& sheet, const Frame& frame, const Rect& slot, double degrees = 0) {
  PutPicture(sheet, frame.bounds, buildPMAP, slot, Put::Blend, degrees);
}

void DrawObjects() {
  if (!pictures) return;
  const Pixels& enemies = pictures->enemies;
  PutFrame(enemies, enemyFRAME[enemSteps % 5], enemRect);
  PutFrame(enemies, enemySpinFRAME[spinSteps % 4], spinRect, spinSteps * 22.5);
  PutFrame(enemies, enemyWingFRAME[wingSteps % 4], wingRect, wingSteps * 22.5);
  for (int i = 0; i < 3; ++i) PutFrame(pictures->meteors, meteorFRAME[roidSteps[i] % 35], roidRect[i]);
  PutFrame(enemies, doublesPowFRAME[powSteps[0] % 8], powRect[0]);
  PutFrame(enemies, shieldPowFRAME[powSteps[1] % 16], powRect[1]);
  PutFrame(enemies, podFRAME[powSteps[2] % 8], powRect[2]);
}

// Decodes the pictures and fills the title bands.
void LoadPictures() {
  pictures = new Pictures;
  pictures->topics.Load("Instructions/Topics");
  pictures->panel.Load("Instructions/Panel");
  pictures->meteors.Load("Graphics/Meteors");
  pictures->enemies.Load("Graphics/Enemies");
  pictures->blimp.Load("Graphics/Blimp");
  pictures->boomerang.Load("Graphics/Boomerang");
  if (tempPmap) {
    // Black first: it is what the bands leave see-through.
    Rect all = (*tempPmap)->bounds;
    for (SInt32 y = all.top; y < all.bottom; ++y)
      for (SInt32 x = all.left; x < all.right; ++x) StorePixel(tempPmap, x, y, kBlack);
    PutPicture(pictures->topics, pictures->topics.Bounds(), tempPmap, all, Put::Keyed);
  }
}

void DisposePictures() {
  delete pictures;
  pictures = nullptr;
}

// The whole page in the build pixmap: the panel, the title band, the text,
// and the page's pictures. The build port is current.
void ShowPage(UInt8 page) {
  PaintIn((*buildPMAP)->bounds, kBlack);
  PaintIn(infoRect, kPanelInside);
  if (pictures) {
    PutPicture(pictures->panel, pictures->panel.Bounds(), buildPMAP, infoRect, Put::Blend);
    if (pictures->pageShown != page) {
      pictures->page.Load("Instructions/Page " + std::to_string(page));
      pictures->pageShown = page;
    }
    PutPicture(pictures->page, textPict, buildPMAP, textRect, Put::Blend);
  }
  DrawPage(char(page));
  if (page == 4 && pictures) {
    PutPicture(pictures->blimp, pictures->blimp.Bounds(), buildPMAP, blimpRect, Put::Blend);
    PutPicture(pictures->boomerang, pictures->boomerang.Bounds(), buildPMAP, brangRect, Put::Blend);
  }
  RGBForeColor(&kPanelInside);
  if (page == 5) DrawObjects();
}

}  // namespace

void InstructionLayout() {
  for (int c = 0; c < kChoices; ++c) choicePict[c] = *QuickRect(64 * c, 336, 64 * c + 64, 352);
  textPict = *QuickRect(16 + 8, 56 + 8, 496 - 8, 372 - 8);  // inset by 8 on every side
  infoRect = Centred((mainRECT.left + mainRECT.right) / 2, (mainRECT.top + mainRECT.bottom) / 2, 512, 384);
  textRect = SizedAt(infoRect.left + 16, infoRect.top + 56, textPict);
  for (int c = 0; c < kChoices; ++c)
    choiceRect[c] =
        *QuickRect(infoRect.left + 72 * c + 288, infoRect.top + 360, infoRect.left + 72 * c + 352, infoRect.top + 376);
  for (int n = 0; n < kTopicBands; ++n) topicPict[n] = *QuickRect(0, 24 * n, 480, 24 * n + 24);
  SetRect2(&topicRect, infoRect.left + 16, infoRect.top + 16, 480, 24);
  blimpRect = Centred(infoRect.left + 68, infoRect.top + 200, 72, 200);
  brangRect = Centred(infoRect.left + 228, infoRect.top + 208, 184, 104);
  // The support address on pages 7 and 8, a line near the foot of the text.
  SetRect2(&linkRect, infoRect.left + 136, infoRect.top + 316, 240, 20);
}

void DrawPage(char page) { CopyBits(tempPmap, buildPMAP, &topicPict[page - 1], &topicRect, transparent, nullptr); }

void InitAnimations() {
  auto slot = [](SInt16 h, SInt16 v, SInt16 size) { return Centred(infoRect.left + h, infoRect.top + v, size, size); };
  enemRect = slot(40, 80, 32);
  spinRect = slot(40, 144, 32);
  wingRect = slot(40, 208, 24);
  roidRect[0] = slot(40, 272, 32);
  roidRect[1] = slot(96, 272, 24);
  roidRect[2] = slot(152, 272, 16);
  powRect[0] = slot(280, 80, 16);
  powRect[1] = slot(280, 144, 16);
  powRect[2] = slot(280, 208, 16);
  roidSteps[0] = 0, roidSteps[1] = 12, roidSteps[2] = 24;
  enemSteps = 0, enemDir = 1, enemDelay = 0;
  wingSteps = 0;
  spinSteps = 8;
  powSteps[0] = 0, powSteps[1] = 6, powSteps[2] = 12;
  for (Spark& s : _SPARK) s.active = 0;
}

void AnimateObjects() {
  PushPort();
  SetPort_(buildPMAP, nullptr);
  for (const Rect* r : {&enemRect, &spinRect, &wingRect, &roidRect[0], &roidRect[1], &roidRect[2], &powRect[0],
                        &powRect[1], &powRect[2]})
    PaintRect(r);
  DrawObjects();
  auto wrap = [](UInt8& steps, UInt8 last) { steps = steps >= last ? 0 : UInt8(steps + 1); };
  for (UInt8& s : roidSteps) wrap(s, 34);
  wrap(wingSteps, 15);
  wrap(spinSteps, 15);
  for (UInt8& s : powSteps) wrap(s, 15);
  if (enemDelay) {
    --enemDelay;
  } else if (enemDir == 0) {
    if (enemSteps > 0) --enemSteps;
    if (enemSteps == 0) enemDir = 1, enemDelay = UInt8(4 - enemSteps);
  } else {
    if (enemSteps < 4) ++enemSteps;
    if (enemSteps == 4) enemDir = 0, enemDelay = enemSteps;
  }
  PopPort();
}

PageCommand PageCommandOfEvent(UInt8 page) {
  if (KeyEvent(keycode::kEscape, -1, nullptr) || KeyEvent(keycode::kReturn, -1, nullptr) ||
      KeyEvent(keycode::kEnter, -1, nullptr))
    return PageCommand::Close;
  if (KeyEvent(keycode::kLeftArrow, -1, nullptr) || AutoKeyEvent(keycode::kLeftArrow)) return PageCommand::Back;
  if (KeyEvent(keycode::kRightArrow, -1, nullptr) || AutoKeyEvent(keycode::kRightArrow)) return PageCommand::Next;
  SInt16 h, v;
  if (!ClickEvent(&h, &v)) return PageCommand::None;
  Point at{v, h};
  if (Inside(at, choiceRect[0])) return PageCommand::Back;
  if (Inside(at, choiceRect[1])) return PageCommand::Next;
  if (Inside(at, choiceRect[2]) || !Inside(at, infoRect)) return PageCommand::Close;
  if ((page == 7 || page == 8) && Inside(at, linkRect)) return PageCommand::Link;
  return PageCommand::None;
}

void Instructions() {
  UInt8& page = curPage;
  page = 1;
  CCrsrHandle hand = GetCCursor(kHandCursorID);
  viewRECT = mainRECT;
  CreatePixMap(16, &tempPmap, QuickRect(0, 0, 480, 192), 0, 0, 1);
  InstructionLayout();
  if (!buildPMAP) {
    DestroyPixMap(&tempPmap);
    DisposeCCursor(hand);
    return;
  }
  // The build pixmap is what the window shows while the viewer is open.
  UInt8 wasFlushing = FlushingEnabled(), wasBuildToGL = APPL.buildToGL;
  EnableFlushing();
  APPL.buildToGL = 1;
  PushPort();
  SetPort_(buildPMAP, nullptr);
  CGrafPtr port;
  GetGWorld(&port, nullptr);
  RGBColor savedFore = port ? port->rgbFgColor : kBlack, savedBack = port ? port->rgbBkColor : kBlack;
  // Black is the title bands' see-through colour.
  RGBBackColor(&kBlack);
  LoadPictures();

  InitAnimations();
  MinBright_GL();
  ShowPage(page);
  FadeIn_GL(8);
  EnableAllEvents();
  DrawPage(char(page));
  ShowInterface();

  bool overLink = false;
  for (bool open = true; open && !applQUIT;) {
    StartTicks();
    GetEvent(everyEvent, nullptr);
    if (AllEventsEnabled()) HandleEvents();
    Point mouse = GetGameMouse();
    UInt8 turnTo = page;
    switch (PageCommandOfEvent(page)) {
      case PageCommand::Back: turnTo = page > 1 ? UInt8(page - 1) : page; break;
      case PageCommand::Next: turnTo = page < kInstructionPages ? UInt8(page + 1) : page; break;
      case PageCommand::Close: open = false; break;
      case PageCommand::Link: LaunchURL(kSupportMailURL, nullptr); break;
      case PageCommand::None: break;
    }
    if (turnTo != page) {
      page = turnTo;
      if (page == 5) InitAnimations();
      ShowPage(page);
    }
    bool linkShown = IsFrontProcess() && (page == 7 || page == 8) && Inside(mouse, linkRect);
    if (linkShown != overLink) linkShown ? SetCCursor(hand) : InitCursor();
    overLink = linkShown;
    if (page == 4) AnimateBosses();
    if (page == 5) AnimateObjects();
    FlushToScreen(nullptr);
    WaitTicks(3);
  }

  if (overLink) InitCursor();
  HideInterface();
  DestroyPixMap(&tempPmap);
  FadeOut_GL(8);
  if (!applQUIT) {
    PaintIn((*buildPMAP)->bounds, kBlack);
    DrawScores();
    FadeIn_GL(8);
    ShowInterface();
  }
  DisposePictures();
  RGBForeColor(&savedFore);
  RGBBackColor(&savedBack);
  PopPort();
  APPL.buildToGL = wasBuildToGL;
  if (!wasFlushing) DisableFlushing();
  DisposeCCursor(hand);
  PREFS.firstPlay = 0;
  FlushEvents(mDownMask | mUpMask | keyDownMask | keyUpMask | autoKeyMask, 0);
}
