// What a player has to read and to follow stands out from what it is drawn
// over: the contrast (relative luminance ratio, as web accessibility rules
// measure it) of each piece's typical ink against the typical colour of the
// picture under it, and the help pages keep their ink clear of the buttons
// laid over them.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string Resources() {
  const char* bundle = std::getenv("HALVANE_BUNDLE");
  return std::string(bundle ? bundle : "build/Halvane.app") + "/Contents/Resources/";
}

struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;  // 0..1, straight alpha
};

struct Image {
  int w = 0, h = 0;
  std::vector<unsigned char> px;  // RGBA, 8 bits
  Rgba At(int x, int y) const {
    const unsigned char* p = &px[(size_t(y) * w + x) * 4];
    return {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0, p[3] / 255.0};
  }
};

Image Load(const std::string& name) {
  Image img;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  std::string path = Resources() + name + ".png";
  if (!png_image_begin_read_from_file(&png, path.c_str())) return img;
  png.format = PNG_FORMAT_RGBA;
  img.px.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, img.px.data(), 0, nullptr)) return img;
  img.w = int(png.width);
  img.h = int(png.height);
  return img;
}

struct Box {
  int left, top, right, bottom;
};

// A frame's bounds in its sheet, read from the layout file.
Box FrameBox(const std::string& layout, const std::string& frame) {
  std::ifstream in(Resources() + "Layouts/" + layout + ".plist");
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string key = "<key>" + frame + "</key>";
  size_t at = text.find(key);
  if (at == std::string::npos) return {0, 0, 0, 0};
  auto value = [&](const char* side) {
    std::smatch m;
    std::string rest = text.substr(at);
    std::regex re(std::string("<key>") + side + "</key>\\s*<integer>(-?\\d+)</integer>");
    return std::regex_search(rest, m, re) ? std::stoi(m[1]) : 0;
  };
  return {value("Left"), value("Top"), value("Right"), value("Bottom")};
}

double Linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double Luminance(const Rgba& c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }
double Contrast(const Rgba& a, const Rgba& b) {
  double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The ink's typical colour: the mean of its solid pixels (the body of the
// strokes, not their soft edges or glows), times the tint the game draws
// it with.
Rgba Ink(const Image& img, Box box, Rgba tint = {1, 1, 1, 1}) {
  Rgba sum;
  int n = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      Rgba p = img.At(x, y);
      if (p.a < 0.75) continue;
      sum.r += p.r, sum.g += p.g, sum.b += p.b;
      ++n;
    }
  if (n == 0) return {};
  return {std::min(1.0, sum.r / n * tint.r), std::min(1.0, sum.g / n * tint.g), std::min(1.0, sum.b / n * tint.b), 1};
}

// A region's colour as shown over black: its pixel at the given rank by
// luminance (0.5 the median, the typical colour; 0.9 its brighter patches,
// such as clouds and planets, that a sprite also crosses).
Rgba Ground(const Image& img, Box box, double rank) {
  std::vector<Rgba> all;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      Rgba p = img.At(x, y);
      all.push_back({p.r * p.a, p.g * p.a, p.b * p.a, 1});
    }
  if (all.empty()) return {};
  const size_t at = std::min(all.size() - 1, size_t(rank * all.size()));
  std::nth_element(all.begin(), all.begin() + at, all.end(),
                   [](const Rgba& a, const Rgba& b) { return Luminance(a) < Luminance(b); });
  return all[at];
}

Box Whole(const Image& img) { return {0, 0, img.w, img.h}; }

struct Piece {
  const char* what;
  const char* sheet;  // layout and sheet name, or "" for a loose picture
  const char* frame;  // frame name, or the picture's path
  Rgba tint;          // as the game tints it
  const char* under;  // the picture it is drawn over
  Box region;         // where, in that picture (right 0: all of it)
  double least;       // 4.5 for text, 3 for the sprites one must follow
};

const Rgba kWhite{1, 1, 1, 1};
const Rgba kScoreTint{0.75, 0.55, 0.0, 1};
// The score recess of a status bar picture: panel x 8..104, y 5..18, the
// picture being 1.6 times the panel.
const Box kScoreBox{13, 8, 166, 28};
const Box kField{0, 0, 640, 448};

const Piece kPieces[] = {
    {"score digit 0", "Enemies", "numberFRAME", kScoreTint, "ZadOR/StatusBar 1", kScoreBox, 4.5},
    {"score digit 8", "Enemies", "numberFRAME[8]", kScoreTint, "ZadOR/StatusBar 2", kScoreBox, 4.5},
    {"WAVE word", "Enemies", "waveDisplayFRAME", kWhite, "Background", kField, 4.5},
    {"BOSS word", "Enemies", "bossDisplayFRAME", kWhite, "Background", kField, 4.5},
    {"wave digit", "Enemies", "numberFRAME[3]", kWhite, "Background", kField, 4.5},
    {"PRESS FIRE", "", "ZadOR/PressFire", kWhite, "Background", {0, 448, 640, 480}, 4.5},
    {"meteor", "Meteors", "meteorFRAME", kWhite, "Background", kField, 3},
    {"meteor, turned", "Meteors", "meteorFRAME[17]", kWhite, "Background", kField, 3},
    {"player 1 ship", "Sprites", "playerShipFRAME", kWhite, "Background", kField, 3},
    {"player 2 ship", "Sprites", "playerShipFRAME[1][2]", kWhite, "Background", kField, 3},
    {"player shot", "Sprites", "playerShotFRAME", kWhite, "Background", kField, 3},
    {"enemy shot", "Sprites", "enemyShotFRAME", kWhite, "Background", kField, 3},
    {"plasma", "Sprites", "plasmaFRAME[0][1]", kWhite, "Background", kField, 3},
    {"raider", "Enemies", "enemyFRAME[2]", kWhite, "Background", kField, 3},
    {"raider wing", "Enemies", "enemyWingFRAME", kWhite, "Background", kField, 3},
    {"pod", "Enemies", "podFRAME", kWhite, "Background", kField, 3},
    {"doubles", "Enemies", "doublesPowFRAME", kWhite, "Background", kField, 3},
    {"shield", "Enemies", "shieldPowFRAME", kWhite, "Background", kField, 3},
    {"boomerang boss", "", "Graphics/Boomerang", kWhite, "Background", kField, 3},
    {"blimp boss", "", "Graphics/Blimp", kWhite, "Background", kField, 3},
};

TEST(Readability, TextAndSpritesStandOutFromWhatTheyAreDrawnOver) {
  std::cout << "piece                  ink lum  ground lum (typical, bright)  contrast (typical, bright)  least\n";
  for (const Piece& p : kPieces) {
    SCOPED_TRACE(p.what);
    Image ink = Load(*p.sheet ? std::string("Graphics/") + p.sheet : p.frame);
    ASSERT_GT(ink.w, 0);
    Box box = *p.sheet ? FrameBox(p.sheet, p.frame) : Whole(ink);
    ASSERT_GT(box.right, box.left);
    Image under = Load(p.under);
    ASSERT_GT(under.w, 0);
    Box region = p.region.right ? p.region : Whole(under);
    Rgba i = Ink(ink, box, p.tint), typical = Ground(under, region, 0.5), bright = Ground(under, region, 0.9);
    double c = Contrast(i, typical), cb = Contrast(i, bright);
    std::printf("%-22s %7.3f  %10.3f %7.3f  %17.2f %7.2f  %16.1f\n", p.what, Luminance(i), Luminance(typical),
                Luminance(bright), c, cb, p.least);
    EXPECT_GE(std::min(c, cb), p.least);
  }
}

// A picture as it shows over another (moved by dx, dy) over black.
Image Over(const Image& top, const Image& under, int dx, int dy) {
  Image out = top;
  for (int y = 0; y < top.h; ++y)
    for (int x = 0; x < top.w; ++x) {
      Rgba t = top.At(x, y), u;
      int ux = x + dx, uy = y + dy;
      if (under.w && ux >= 0 && uy >= 0 && ux < under.w && uy < under.h) u = under.At(ux, uy);
      unsigned char* o = &out.px[(size_t(y) * top.w + x) * 4];
      const double c[3] = {t.r * t.a + u.r * u.a * (1 - t.a), t.g * t.a + u.g * u.a * (1 - t.a),
                           t.b * t.a + u.b * u.a * (1 - t.a)};
      for (int k = 0; k < 3; ++k) o[k] = (unsigned char)std::lround(std::clamp(c[k], 0.0, 1.0) * 255);
      o[3] = 255;
    }
  return out;
}

// Text drawn into a picture: in the box around the words, the ink is the
// brightest sixth of the pixels (the cores of the strokes), the ground the
// median.
Rgba BakedInk(const Image& img, Box box) {
  std::vector<Rgba> all;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) all.push_back(img.At(x, y));
  std::sort(all.begin(), all.end(), [](const Rgba& a, const Rgba& b) { return Luminance(a) > Luminance(b); });
  Rgba sum;
  size_t n = std::max<size_t>(1, all.size() / 6);
  for (size_t i = 0; i < n; ++i) sum.r += all[i].r, sum.g += all[i].g, sum.b += all[i].b;
  return {sum.r / n, sum.g / n, sum.b / n, 1};
}

struct Baked {
  const char* what;
  const char* picture;
  const char* under;  // "" for black
  int dx, dy;         // where the picture lies on the one under it
  Box words;
};

const Baked kBaked[] = {
    {"PLAYER 1", "Main/Main", "Main/Nebula", 80, 160, {60, 305, 132, 321}},
    {"PLAYER 2", "Main/Main", "Main/Nebula", 80, 160, {236, 305, 308, 321}},
    {"FIRE", "Main/Main", "Main/Nebula", 80, 160, {90, 438, 124, 451}},
    {"PAUSED", "Pause/PauseBox", "", 0, 0, {255, 161, 322, 174}},
    {"press any key", "Title/Title", "Title/Background", 0, 0, {262, 417, 378, 434}},
    {"help heading", "Help/Help 1", "Help/Help Screen", 48, 59, {170, 106, 420, 132}},
    {"help text", "Help/Help 1", "Help/Help Screen", 48, 59, {170, 146, 560, 170}},
    {"help page number", "Help/Help 1", "Help/Help Screen", 48, 59, {226, 489, 286, 508}},
};

TEST(Readability, TextDrawnIntoPicturesStandsOut) {
  std::cout << "text                   ink lum  ground lum  contrast\n";
  for (const Baked& b : kBaked) {
    SCOPED_TRACE(b.what);
    const Image top = Load(b.picture);
    ASSERT_GT(top.w, 0);
    const Image under = *b.under ? Load(b.under) : Image{};
    const Image shown = Over(top, under, b.dx, b.dy);
    const Rgba ink = BakedInk(shown, b.words), ground = Ground(shown, b.words, 0.5);
    const double c = Contrast(ink, ground);
    std::printf("%-22s %7.3f  %10.3f  %8.2f\n", b.what, Luminance(ink), Luminance(ground), c);
    EXPECT_GE(c, 4.5);
  }
}

// The score and wave digits are drawn 9 pixels high from their frames: the
// figure fills the frame's height, so that it is drawn at least 8 pixels tall.
TEST(Readability, DigitsFillTheirFramesHeight) {
  const Image sheet = Load("Graphics/Enemies");
  ASSERT_GT(sheet.w, 0);
  for (int d = 0; d < 10; ++d) {
    const std::string name = d ? "numberFRAME[" + std::to_string(d) + "]" : "numberFRAME";
    SCOPED_TRACE(name);
    const Box box = FrameBox("Enemies", name);
    ASSERT_GT(box.bottom, box.top);
    int top = box.bottom, bottom = box.top;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x)
        if (sheet.At(x, y).a >= 0.5) top = std::min(top, y), bottom = std::max(bottom, y + 1);
    EXPECT_GE((bottom - top) * 9.0 / (box.bottom - box.top), 8.0) << "ink rows " << top << ".." << bottom;
  }
}

// The help screen's geometry, from the sizes of its pictures: the frame
// shrunk by 1.6 and centred in the 640 x 480 picture, the page shrunk by 1.6
// and centred in the frame, and the buttons along the frame's bottom edge.
struct Rect {
  int left, top, right, bottom;
  bool Holds(double x, double y) const { return x >= left && x < right && y >= top && y < bottom; }
};

Rect CentredIn(const Rect& outer, int w, int h) {
  int left = outer.left + (outer.right - outer.left) / 2 - w / 2;
  int top = outer.top + (outer.bottom - outer.top) / 2 - h / 2;
  return {left, top, left + w, top + h};
}

TEST(Readability, HelpPagesKeepTheirInkClearOfTheButtons) {
  const Image frame = Load("Help/Help Screen");
  ASSERT_GT(frame.w, 0);
  const Rect bounds = CentredIn({0, 0, 640, 480}, int(frame.w / 1.6f), int(frame.h / 1.6f));
  struct Button {
    const char* picture;
    Rect at;
  };
  std::vector<Button> buttons;
  const char* names[] = {"Help/Next", "Help/Prev", "Help/Done"};
  for (int i = 0; i < 3; ++i) {
    Image b = Load(names[i]);
    ASSERT_GT(b.w, 0) << names[i];
    int w = int(b.w / 1.6f), h = int(b.h / 1.6f);
    int left = bounds.right - 88 * i - w / 2 - 48 - 12, top = bounds.bottom - h / 2 - 20 - 15;
    buttons.push_back({names[i], {left, top, left + w, top + h}});
  }
  Image email = Load("Help/Email");
  ASSERT_GT(email.w, 0);
  int ew = int(0.8 * email.w / 1.6f), eh = int(0.8 * email.h / 1.6f);
  int el = bounds.left - ew / 2 + 68 - 4, et = bounds.bottom - eh / 2 - 22 - 15;
  const Button emailButton{"Help/Email", {el, et, el + ew, et + eh}};

  for (int page = 1; page <= 4; ++page) {
    SCOPED_TRACE("page " + std::to_string(page));
    Image picture = Load("Help/Help " + std::to_string(page));
    ASSERT_GT(picture.w, 0);
    const Rect at = CentredIn(bounds, int(picture.w / 1.6f), int(picture.h / 1.6f));
    std::vector<Button> over = buttons;
    if (page <= 2) over.push_back(emailButton);  // shown on the first two pages only
    for (const Button& b : over) {
      int covered = 0;
      for (int y = 0; y < picture.h; ++y)
        for (int x = 0; x < picture.w; ++x) {
          if (picture.At(x, y).a < 0.25) continue;
          double sx = at.left + (x + 0.5) * (at.right - at.left) / picture.w;
          double sy = at.top + (y + 0.5) * (at.bottom - at.top) / picture.h;
          if (b.at.Holds(sx, sy)) ++covered;
        }
      EXPECT_EQ(covered, 0) << b.picture << " covers " << covered << " pixels of the page's ink";
    }
  }
}

}  // namespace
