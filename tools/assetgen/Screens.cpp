// Full-screen pictures and panels: play-field backdrop, title, main menu,
// about, help pages, pause box and the name-entry panel.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "AssetGen.h"
#include "Sprites.h"

namespace assetgen {

namespace {

const Rgb kGold{1.0, 0.85, 0.3};
const Rgb kText{0.85, 0.9, 1.0};

// Deep space: a vertical gradient, nebula clouds, a distant planet rim and stars.
void Space(cairo_t* cr, int w, int h, uint32_t seed, Rgb cloudA, Rgb cloudB, double clouds, int stars) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.01, 0.01, 0.05);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.02, 0.09);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  NebulaClouds(cr, w, h, seed, cloudA, cloudB, clouds);
  Starfield(cr, w, h, seed + 5, stars);
}

void Planet(cairo_t* cr, double cx, double cy, double r, Rgb lit, Rgb dark, uint32_t seed) {
  cairo_save(cr);
  Glow(cr, cx, cy, r * 1.25, Scale(lit, 0.6), 0.35);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_clip(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.5, cy - r * 0.5, r * 0.1, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(p, 0, lit.r, lit.g, lit.b);
  cairo_pattern_add_color_stop_rgb(p, 1, dark.r, dark.g, dark.b);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  Rng rng(seed);
  for (int i = 0; i < 14; ++i) {
    double y = cy - r + rng.Range(0, 2 * r);
    cairo_set_line_width(cr, rng.Range(2, r * 0.12));
    cairo_set_source_rgba(cr, 0, 0, 0, rng.Range(0.05, 0.18));
    cairo_move_to(cr, cx - r, y);
    cairo_curve_to(cr, cx - r / 3, y + rng.Range(-8, 8), cx + r / 3, y + rng.Range(-8, 8), cx + r, y);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

void Logo(cairo_t* cr, double cx, double cy, double size) {
  TextStyle st{size, {0.9, 1.0, 1.0}, {0.0, 0.55, 0.9}, kAqua, 0.55, size * 0.06};
  DrawTitleText(cr, Face::Rounded, "HALVANE", cx, cy, st);
  cairo_set_line_width(cr, size * 0.03);
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - size * 2.4, 0, cx + size * 2.4, 0);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 1, 1, 0);
  cairo_pattern_add_color_stop_rgba(p, 0.5, 0.6, 1, 1, 0.9);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 1, 1, 0);
  cairo_set_source(cr, p);
  cairo_move_to(cr, cx - size * 2.4, cy + size * 0.55);
  cairo_line_to(cr, cx + size * 2.4, cy + size * 0.55);
  cairo_stroke(cr);
  cairo_pattern_destroy(p);
}

void TitleOverlay(cairo_t* cr) {
  Logo(cr, 320, 170, 96);
  TextStyle sub{22, {1, 0.95, 0.8}, kGold, {1, 0.5, 0}, 0.35, 1.5};
  DrawTitleText(cr, Face::Engraved, "DEFEND THE OUTER BELT", 320, 250, sub);
  DrawPlainText(cr, Face::Rounded, 16, "press any key", 320, 430, 1, kText, 0.9);
}

// The title's planet lies over the drifting stars, so it is drawn with the
// title rather than in the background behind them.
void TitlePicture(cairo_t* cr) {
  Planet(cr, 690, 520, 260, {0.2, 0.5, 0.8}, {0.0, 0.02, 0.06}, 9);
  TitleOverlay(cr);
}

void MainOverlay(cairo_t* cr) {
  Logo(cr, 200, 50, 58);
  // menu rail behind the buttons, the score board and the key editor deck
  RoundedRect(cr, 36, 100, 276, 184, 14);
  cairo_set_source_rgba(cr, 0.02, 0.03, 0.1, 0.55);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.5);
  SetRgb(cr, kBlue, 0.5);
  cairo_stroke(cr);
  // the clear-scores button sits in the panel's head, the table below it
  Panel(cr, 368, 100, 262, 370, 16, kViolet);
  cairo_move_to(cr, 384, 140.5);
  cairo_line_to(cr, 614, 140.5);
  cairo_set_line_width(cr, 1);
  SetRgb(cr, kViolet, 0.5);
  cairo_stroke(cr);
  RoundedRect(cr, 20, 300, 340, 168, 14);
  cairo_set_source_rgba(cr, 0.02, 0.03, 0.1, 0.55);
  cairo_fill_preserve(cr);
  SetRgb(cr, kBlue, 0.5);
  cairo_stroke(cr);
  DrawPlainText(cr, Face::Engraved, 13, "PLAYER 1", 96, 318, 1, kCyan);
  DrawPlainText(cr, Face::Engraved, 13, "PLAYER 2", 272, 318, 1, kAqua);
  for (int p = 0; p < 2; ++p) DrawPlainText(cr, Face::Rounded, 12, "FIRE", 92 + 176 * p, 449, 0, kText, 0.7);
}

void AboutPanel(cairo_t* cr) {
  Space(cr, 640, 400, 91, {0.25, 0.05, 0.4}, {0.0, 0.3, 0.5}, 0.9, 220);
  Planet(cr, 560, 330, 120, {0.35, 0.55, 0.9}, {0.02, 0.03, 0.1}, 5);
  cairo_set_line_width(cr, 6);
  SetRgb(cr, {0.6, 0.7, 0.9});
  cairo_rectangle(cr, 3, 3, 634, 394);
  cairo_stroke(cr);
  Logo(cr, 320, 62, 66);  // the credit lines go at a third of the height
}

void Shadow(cairo_t* cr) {
  for (int i = 0; i < 12; ++i) {
    RoundedRect(cr, i * 2, i * 2, 640 - i * 4, 400 - i * 4, 30);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.07);
    cairo_fill(cr);
  }
}

void HelpFrame(cairo_t* cr) {
  Panel(cr, 0, 0, 896, 640, 40, kBlue);
  RoundedRect(cr, 40, 50, 816, 540, 16);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_fill(cr);
  // lit strips along the top and bottom edges, and corner studs
  for (double y : {28.0, 612.0}) {
    cairo_pattern_t* p = cairo_pattern_create_linear(120, 0, 776, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.3, 0.6, 1, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.5, 0.85, 1, 0.8);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.3, 0.6, 1, 0);
    cairo_set_source(cr, p);
    RoundedRect(cr, 120, y - 2, 656, 4, 2);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  for (double x : {22.0, 874.0})
    for (double y : {22.0, 618.0}) {
      Glow(cr, x, y, 9, kAqua, 0.5);
      cairo_arc(cr, x, y, 3.5, 0, 2 * M_PI);
      SetRgb(cr, {0.8, 0.9, 1.0});
      cairo_fill(cr);
    }
}

// A help section: an optional sprite picture at the left, a heading and its lines.
struct Section {
  DrawFrame icon;
  int frame, w, h;  // frame of the sprite and its box
  const char* heading;
  std::vector<const char*> body;
};

struct HelpPage {
  const char* title;
  std::vector<Section> sections;
};

void HelpPicture(cairo_t* cr, const HelpPage& page, int number) {
  TextStyle st{46, {1, 1, 1}, kAqua, kBlue, 0.5, 2};
  DrawTitleText(cr, Face::Engraved, page.title, 400, 50, st);
  double y = 128;
  for (const Section& sec : page.sections) {
    double textX = 60;
    if (sec.icon) {
      double scale = 80.0 / std::max(sec.w, sec.h);
      cairo_save(cr);
      cairo_translate(cr, 100 - sec.w * scale / 2, y - 16 + (std::size(sec.body) * 34 - sec.h * scale) / 2);
      cairo_scale(cr, scale, scale);
      sec.icon(cr, sec.frame, sec.w, sec.h);
      cairo_restore(cr);
      textX = 170;
    }
    DrawPlainText(cr, Face::Rounded, 28, sec.heading, textX, y, 0, kGold);
    y += 36;
    for (const char* line : sec.body) {
      DrawPlainText(cr, Face::Rounded, 24, line, textX, y, 0, kText);
      y += 32;
    }
    y += 34;
  }
  // The page number sits in the gap between the E-MAIL and DONE buttons,
  // which the help screen lays over the bottom edge of the page.
  DrawPlainText(cr, Face::Rounded, 20, std::to_string(number) + " / 4", 256, 505, 1, kText, 0.8);
}

void BoomerangIcon(cairo_t* cr, int, int, int) { DrawBoomerang(cr); }

const HelpPage kHelp[] = {
    {"THE MISSION",
     {{DrawPlayerShip,
       2,
       32,
       32,
       "Hold the outer belt",
       {"Raiders pour in wave after wave and rocks", "drift across the lanes.  Shoot them down",
        "and keep your shield up."}},
      {DrawPlayerShip,
       7,
       32,
       32,
       "One or two pilots",
       {"A second pilot joins at any time: press", "fire on the free side of the status bar."}}}},
    {"CONTROLS",
     {{nullptr, 0, 0, 0, "Player 1", {"Arrow keys to fly, space to fire."}},
      {nullptr, 0, 0, 0, "Player 2", {"Keypad 4 6 8 5 to fly, keypad 0 to fire."}},
      {nullptr,
       0,
       0,
       0,
       "Your own keys",
       {"Click a key box in the main menu and press", "the new key.  Escape pauses the game."}}}},
    {"PICK-UPS",
     {{DrawPod, 0, 20, 20, "Pods", {"Fill your bonus bar."}},
      {DrawDoublesPow, 0, 20, 20, "Doubles", {"Fire two shots at once."}},
      {DrawShieldPow, 0, 20, 20, "Shield", {"Restores the cells of your shield."}}}},
    {"ENEMIES",
     {{DrawEnemy,
       2,
       32,
       32,
       "Raiders",
       {"Shoot off a wing and they spin away.", "A shielded raider must wait it out."}},
      {DrawMeteor, 0, 32, 32, "Meteors", {"Big rocks split into smaller ones."}},
      {BoomerangIcon, 0, 184, 104, "Bosses", {"Every few waves.  Aim for the core!"}}}},
};

void PauseBox(cairo_t* cr) {
  Panel(cr, 0, 0, 340, 180, 22, kCyan);
  DrawPlainText(cr, Face::Engraved, 13, "PAUSED", 320, 172, 2, kCyan, 0.8);
}

// Wide enough that the name field (200 pixels from 234 in) ends before the
// OK button, which stands 50 pixels plus half its width in from the right.
void InputPanel(cairo_t* cr) {
  Panel(cr, 0, 0, 864, 192, 30, kGold);
  Glow(cr, 60, 40, 50, kGold, 0.15);
}

void Loading(cairo_t* cr) {
  Space(cr, 640, 480, 77, {0.0, 0.3, 0.5}, {0.4, 0.1, 0.5}, 0.8, 300);
  Logo(cr, 320, 200, 80);
  DrawPlainText(cr, Face::Rounded, 22, "loading...", 320, 300, 1, kText, 0.8);
}

}  // namespace

void AddScreenJobs(std::vector<Job>& jobs) {
  jobs.push_back([] {
    // No planet here: the game's stars are drawn over this picture, and
    // nothing of the field may hide a dark rock.
    Picture("Background.png", 640, 480, [](cairo_t* cr) {
      Space(cr, 640, 480, 17, {0.05, 0.12, 0.35}, {0.3, 0.05, 0.35}, 0.55, 260);
    });
  });
  jobs.push_back([] {
    Picture("Title/Background.png", 872, 480, [](cairo_t* cr) {
      Space(cr, 872, 480, 29, {0.05, 0.25, 0.55}, {0.5, 0.05, 0.45}, 1.0, 420);
    });
    Picture("Title/Title.png", 640, 480, TitlePicture);
  });
  jobs.push_back([] {
    Picture("Main/Nebula.png", 800, 800, [](cairo_t* cr) {
      Space(cr, 800, 800, 41, {0.35, 0.05, 0.45}, {0.0, 0.25, 0.5}, 1.1, 500);
    });
  });
  jobs.push_back([] {
    Picture("Main/Main.png", 640, 480, MainOverlay);
    Picture("ZadOR/About.png", 640, 400, AboutPanel);
    Picture("ZadOR/About-Shadow.png", 640, 400, Shadow);
  });
  jobs.push_back([] {
    Picture("Help/Help Screen.png", 896, 640, HelpFrame);
    for (int i = 0; i < 4; ++i)
      Picture("Help/Help " + std::to_string(i + 1) + ".png", 800, 520,
              [i](cairo_t* cr) { HelpPicture(cr, kHelp[i], i + 1); });
  });
  jobs.push_back([] {
    Picture("Graphics/Loading.png", 640, 480, Loading);
    Picture("Pause/PauseBox.png", 340, 180, PauseBox);
    Picture("ZadOR/InputScreen.png", 864, 192, InputPanel);
  });
}

}  // namespace assetgen
