// The instruction pages' pictures: the eight title bands, the panel with its
// buttons, and one text picture per page. The viewer copies the text area
// (24, 64)-(488, 364) of a page picture to (16, 56) in the panel, so the
// pages are drawn in panel coordinates moved by 8 pixels.
#include <string>
#include <vector>

#include "AssetGen.h"

namespace assetgen {
namespace {

const Rgb kGold{1.0, 0.85, 0.3};
const Rgb kText{0.85, 0.9, 1.0};
// The panel's flat inside; the viewer paints its animation slots in it.
const Rgb kInside{10 / 255.0, 16 / 255.0, 36 / 255.0};

const char* const kTopics[8] = {"WELCOME TO HALVANE",
                                "FLYING AND FIRING",
                                "SHIELDS AND POWER-UPS",
                                "THE BOSSES",
                                "WHAT YOU WILL MEET",
                                "SCORING",
                                "HINTS",
                                "CREDITS"};

void Topics(cairo_t* cr) {
  TextStyle st{19, {1, 1, 1}, kAqua, kBlue, 0.45, 1.2};
  for (int n = 0; n < 8; ++n) DrawTitleText(cr, Face::Engraved, kTopics[n], 240, 24 * n + 12, st);
}

void InstructionPanel(cairo_t* cr) {
  Panel(cr, 0, 0, 512, 384, 18, kBlue);
  RoundedRect(cr, 10, 10, 492, 364, 10);
  SetRgb(cr, kInside);
  cairo_fill(cr);
  // the recess under the title band
  RoundedRect(cr, 12, 13, 488, 30, 6);
  cairo_set_source_rgba(cr, 0.25, 0.45, 1.0, 0.18);
  cairo_fill(cr);
  const char* const labels[3] = {"BACK", "NEXT", "DONE"};
  for (int c = 0; c < 3; ++c) {
    double x = 288 + 72 * c, y = 360;
    RoundedRect(cr, x, y, 64, 16, 5);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + 16);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.30, 0.45, 0.85);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.10, 0.16, 0.40);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_line_width(cr, 1);
    SetRgb(cr, kAqua, 0.7);
    cairo_stroke(cr);
    DrawPlainText(cr, Face::Rounded, 10, labels[c], x + 32, y + 12, 1, {1, 1, 1});
  }
}

struct Line {
  double x, y;  // panel coordinates of the baseline's start
  const char* text;
  double size;
  bool heading;
};

// The support address, underlined, where the viewer's link area lies.
const Line kLink{256, 330, "support@halvane.invalid", 14, false};

const std::vector<Line> kPages[8] = {
    {{24, 84, "Your world is under attack.", 17, true},
     {24, 112, "Fly your ship across the field, shoot down the waves", 14, false},
     {24, 131, "of enemies and meteors, and stay alive as long as", 14, false},
     {24, 150, "you can. Every few waves a boss comes for you.", 14, false},
     {24, 186, "One or two players can play at once.", 14, false},
     {24, 232, "Turning the pages", 15, true},
     {24, 256, "Left and right arrow keys, or Back and Next below.", 14, false},
     {24, 275, "Escape, Return or Done closes the instructions.", 14, false}},
    {{24, 84, "Player one", 15, true},
     {24, 106, "Arrow keys to fly, Space to fire.", 14, false},
     {24, 142, "Player two", 15, true},
     {24, 164, "Keypad 4, 6, 8 and 5 to fly, keypad 0 to fire.", 14, false},
     {24, 200, "Joining", 15, true},
     {24, 222, "Press Fire to join a game that is under way.", 14, false},
     {24, 258, "Pausing", 15, true},
     {24, 280, "Escape, Return, Caps Lock or a click pauses the game.", 14, false},
     {24, 316, "Every key can be changed on the main screen.", 14, false}},
    {{24, 84, "Your shield", 15, true},
     {24, 106, "The cells of the status bar are your shield. Every", 14, false},
     {24, 125, "hit takes some of it away; with none left, the next", 14, false},
     {24, 144, "hit destroys your ship.", 14, false},
     {24, 180, "Power-ups", 15, true},
     {24, 202, "A large meteor may leave a power-up behind. Fly", 14, false},
     {24, 221, "over it: it tops up your shield, or fills your row of", 14, false},
     {24, 240, "doubles for twin shots.", 14, false},
     {24, 276, "Pods", 15, true},
     {24, 298, "Destroyed enemies sometimes drop a pod. Pods fill", 14, false},
     {24, 317, "your bonus row, and a full row pays a large reward.", 14, false}},
    {{336, 84, "Some waves", 14, false},
     {336, 103, "end with a boss:", 14, false},
     {336, 122, "the blimp or the", 14, false},
     {336, 141, "boomerang.", 14, false},
     {336, 177, "Its energy shows", 14, false},
     {336, 196, "at the top of the", 14, false},
     {336, 215, "field. Keep firing!", 14, false},
     {136, 292, "Stay clear of its shots and its engines.", 14, false}},
    {{72, 78, "Fighters bank and fire", 13, false},
     {72, 96, "150 or 250 points", 12, false},
     {72, 142, "Spinners have lost a wing", 13, false},
     {72, 206, "Loose wings: 350 points", 13, false},
     {300, 84, "Doubles", 13, false},
     {300, 148, "Shield", 13, false},
     {300, 212, "Pod", 13, false},
     {176, 277, "Meteors split when shot", 13, false}},
    {{24, 84, "Points", 15, true},
     {24, 106, "An enemy is worth 150 or 250 points, a wing 350.", 14, false},
     {24, 125, "Your score can reach 9,999,999.", 14, false},
     {24, 161, "Two players", 15, true},
     {24, 183, "Two players may share one score or keep their own.", 14, false},
     {24, 219, "High scores", 15, true},
     {24, 241, "The fifteen best scores are kept. When you make", 14, false},
     {24, 260, "the table, enter your name and it is saved.", 14, false}},
    {{24, 84, "Keep moving: aimed shots come to where you are.", 14, false},
     {24, 112, "Shoot loose wings before they reach you.", 14, false},
     {24, 140, "Collect doubles early; they make every wave shorter.", 14, false},
     {24, 168, "A meteor shower passes: find a gap and wait.", 14, false},
     {24, 196, "With two players, cover each other's side.", 14, false},
     {256, 300, "Questions or ideas? Write to us:", 14, false},
     kLink},
    {{24, 84, "Halvane", 17, true},
     {24, 112, "Pictures, sounds and music were all made for this", 14, false},
     {24, 131, "game by its own generator.", 14, false},
     {24, 167, "Fonts", 15, true},
     {24, 189, "Comfortaa, League Spartan and DejaVu, free fonts.", 14, false},
     {256, 300, "Thank you for playing.", 14, false},
     kLink},
};

void PageText(cairo_t* cr, const std::vector<Line>& lines) {
  cairo_translate(cr, 8, 8);
  for (const Line& l : lines) {
    // lines starting at 256 are centred on the text area
    int align = l.x == 256 ? 1 : 0;
    DrawPlainText(cr, Face::Rounded, l.size, l.text, l.x, l.y, align, l.heading ? kGold : kText);
    if (l.text != kLink.text) continue;
    cairo_text_extents_t e;
    SelectFace(cr, Face::Rounded, l.size);
    cairo_text_extents(cr, l.text, &e);
    cairo_rectangle(cr, l.x - e.x_advance / 2, l.y + 3, e.x_advance, 1.2);
    SetRgb(cr, kAqua, 0.8);
    cairo_fill(cr);
  }
}

}  // namespace

void AddInstructionJobs(std::vector<Job>& jobs) {
  jobs.push_back([] {
    Picture("Instructions/Topics.png", 480, 192, Topics);
    Picture("Instructions/Panel.png", 512, 384, InstructionPanel);
    for (int n = 0; n < 8; ++n)
      Picture("Instructions/Page " + std::to_string(n + 1) + ".png", 512, 384,
              [n](cairo_t* cr) { PageText(cr, kPages[n]); });
  });
}

}  // namespace assetgen
