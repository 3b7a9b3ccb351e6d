// The three sprite sheets and their frame lists. Each sheet covers one
// unbroken run of the game's frame table, in table order; frames are packed
// on shelves with a transparent gap and drawn by the functions of Sprites.cpp.
#include "AssetGen.h"
#include "Sprites.h"

namespace assetgen {

namespace {

struct FrameArrayArt {
  const char* name;
  int size0, size1;  // dimensions as the game declares them (size1 0: one-dimensional)
  int w, h;          // frame size in the sheet
  DrawFrame draw;
};

struct SheetArt {
  const char* name;
  int width;  // shelf width
  std::vector<FrameArrayArt> arrays;
};

const std::vector<SheetArt>& SheetArts() {
  static const std::vector<SheetArt> sheets = {
      {"Meteors", 192, {{"meteorFRAME", 36, 0, 32, 32, DrawMeteor}}},
      {"Sprites",
       512,
       {{"playerShipFRAME", 2, 5, 32, 32, DrawPlayerShip},
        {"playerFireFRAME", 2, 0, 8, 8, DrawPlayerFire},
        {"enemyFireFRAME", 1, 0, 16, 8, DrawEnemyFire},
        {"playerShotFRAME", 2, 0, 8, 24, DrawPlayerShot},
        {"enemyShotFRAME", 1, 0, 16, 24, DrawEnemyShot},
        {"plasmaFRAME", 3, 5, 32, 32, DrawPlasma},
        {"shieldStatusFRAME", 1, 0, 8, 8, DrawShieldCell},
        {"pelletFRAME", 2, 0, 8, 8, DrawPellet},
        {"bossStatusFRAME", 1, 0, 8, 8, DrawBossCell},
        {"enemyShieldFRAME", 1, 0, 72, 72, DrawEnemyShield},
        {"explosionFRAME", 1, 0, 64, 64, DrawExplosion},
        {"engineFRAME", 1, 0, 32, 32, DrawEngine},
        {"shotFRAME", 1, 0, 8, 24, DrawPlayerShot}}},
      {"Enemies",
       512,
       {{"enemyFRAME", 5, 0, 32, 32, DrawEnemy},
        {"enemySpinFRAME", 2, 4, 32, 32, DrawEnemySpin},
        {"enemyWingFRAME", 2, 4, 24, 24, DrawEnemyWing},
        {"waveDisplayFRAME", 1, 0, 96, 24, DrawWaveWord},
        {"doublesPowFRAME", 8, 0, 20, 20, DrawDoublesPow},
        {"shieldPowFRAME", 16, 0, 20, 20, DrawShieldPow},
        {"podFRAME", 8, 0, 20, 20, DrawPod},
        {"numberFRAME", 10, 0, 24, 24, DrawDigit},
        {"bossDisplayFRAME", 1, 0, 96, 24, DrawBossWord},
        {"bigFlameFRAME", 1, 0, 32, 48, DrawBigFlame},
        {"glowFRAME", 1, 0, 32, 32, DrawGlowHalo}}},
  };
  return sheets;
}

// Member names as the layout loader generates them: the last index fastest,
// the head keeping the bare array name.
std::string MemberName(const FrameArrayArt& a, int index) {
  if (index == 0) return a.name;
  if (a.size1 == 0) return std::string(a.name) + "[" + std::to_string(index) + "]";
  return std::string(a.name) + "[" + std::to_string(index / a.size1) + "][" + std::to_string(index % a.size1) + "]";
}

int FrameCount(const FrameArrayArt& a) { return a.size1 ? a.size0 * a.size1 : a.size0; }

struct Placed {
  SheetFrame frame;
  const FrameArrayArt* array;
  int index;
};

const int kGap = 2;

std::vector<Placed> Pack(const SheetArt& s, int& height) {
  std::vector<Placed> out;
  int x = 0, y = 0, shelf = 0;
  for (const FrameArrayArt& a : s.arrays) {
    for (int i = 0; i < FrameCount(a); ++i) {
      if (x + a.w > s.width) {
        x = 0;
        y += shelf + kGap;
        shelf = 0;
      }
      SheetFrame f{MemberName(a, i), i == 0, i == 0 && a.size0 > 1 ? a.size0 : 0, i == 0 ? a.size1 : 0, x, y,
                   x + a.w,          y + a.h};
      out.push_back({f, &a, i});
      x += a.w + kGap;
      shelf = std::max(shelf, a.h);
    }
  }
  height = y + shelf;
  return out;
}

void DrawSheet(const SheetArt& s) {
  int height = 0;
  std::vector<Placed> placed = Pack(s, height);
  cairo_surface_t* surface = NewSurface(s.width, height);
  cairo_t* cr = cairo_create(surface);
  for (const Placed& p : placed) {
    cairo_save(cr);
    cairo_rectangle(cr, p.frame.left, p.frame.top, p.array->w, p.array->h);
    cairo_clip(cr);
    cairo_translate(cr, p.frame.left, p.frame.top);
    p.array->draw(cr, p.index, p.array->w, p.array->h);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  WritePng(surface, std::string("Graphics/") + s.name + ".png");
  cairo_surface_destroy(surface);
}

}  // namespace

std::vector<SheetInfo> SheetLayouts() {
  std::vector<SheetInfo> out;
  for (const SheetArt& s : SheetArts()) {
    int height = 0;
    SheetInfo info{s.name, {}};
    for (const Placed& p : Pack(s, height)) info.frames.push_back(p.frame);
    out.push_back(info);
  }
  return out;
}

void AddSheetJobs(std::vector<Job>& jobs) {
  for (const SheetArt& s : SheetArts()) jobs.push_back([&s] { DrawSheet(s); });
  // The property-list writer keeps its indentation in globals: one job writes all three.
  jobs.push_back([] {
    for (const SheetInfo& s : SheetLayouts()) WriteLayout(s);
  });
}

}  // namespace assetgen
