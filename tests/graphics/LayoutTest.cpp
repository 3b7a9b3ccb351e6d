// The layout loader over a small frame table and layout files written with
// the engine's own property-list writer: frame names for one, two and three
// dimensions, bounds, hot items, align points, and hostile files that must
// neither crash nor write past the game's frame blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/PlistTag.h"
#include "graphics/Layout.h"
#include "shell/ApplInfo.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

std::string Name(const unsigned char* p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

// One entry of a layout file.
struct Entry {
  std::string key;
  bool first;
  std::vector<int> sizes;  // "Array Size n", only written when given
  Rect bounds;
  std::vector<Rect> hotRects;
  std::vector<Point> hotPoints;
  std::vector<std::pair<int, Point>> alignPoints;
};

void AddRect(PlistTag* parent, const char* key, const Rect& r) {
  PlistTag* d = parent->NewDictionary(key);
  d->NewShort("Left", r.left);
  d->NewShort("Top", r.top);
  d->NewShort("Right", r.right);
  d->NewShort("Bottom", r.bottom);
}

void AddPoint(PlistTag* parent, const char* key, Point p) {
  PlistTag* d = parent->NewDictionary(key);
  d->NewShort("H", p.h);
  d->NewShort("V", p.v);
}

std::string WriteLayout(const TempFolder& folder, const std::string& name, const std::vector<Entry>& entries) {
  PlistTag root;
  PlistTag* frames = root.NewDictionary("Frames");
  for (const Entry& e : entries) {
    PlistTag* d = frames->NewDictionary(e.key.c_str());
    d->NewBoolean("First In Array", e.first);
    for (size_t i = 0; i < e.sizes.size(); i++) d->NewLong(("Array Size " + std::to_string(i)).c_str(), e.sizes[i]);
    AddRect(d, "Bounds", e.bounds);
    if (!e.hotRects.empty()) {
      PlistTag* h = d->NewDictionary("Hot Rects");
      for (size_t i = 0; i < e.hotRects.size(); i++) AddRect(h, std::to_string(i).c_str(), e.hotRects[i]);
    }
    if (!e.hotPoints.empty()) {
      PlistTag* h = d->NewDictionary("Hot Points");
      for (size_t i = 0; i < e.hotPoints.size(); i++) AddPoint(h, std::to_string(i).c_str(), e.hotPoints[i]);
    }
    if (!e.alignPoints.empty()) {
      PlistTag* a = d->NewDictionary("Align Points");
      for (const auto& [k, p] : e.alignPoints) AddPoint(a, std::to_string(k).c_str(), p);
    }
  }
  std::string path = folder / (name + ".plist");
  FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_EQ(root.SaveFile(f), 0);
  std::fclose(f);
  root.DeleteChildren();
  return path;
}

// A frame table as the game registers one, with a guard record after every
// block that the loader must leave alone.
class LayoutLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = entries_;
    APPL.frameList = &table_;
    APPL.frameCount = &count_;
    layoutsINITED = 0;
    InitLayouts();
  }
  void TearDown() override {
    APPL.frameList = nullptr;
    APPL.frameCount = nullptr;
    layoutsINITED = 0;
    frameLIST = nullptr;
    curFrame = nullptr;
  }
  // Registers a block of `capacity` frames under an array name.
  Frame* Register(const char* name, SInt8 size, SInt16 capacity) {
    Frame* block = &frames_[used_];
    used_ += capacity + 1;  // one guard record
    block->SetArrayName(name);
    block->List(&count_, size, capacity);
    return block;
  }
  int Load(const std::string& name) {
    Layout layout;
    layout.name[0] = UInt8(name.size());
    std::copy(name.begin(), name.end(), layout.name + 1);
    return LoadLayout_PLIST(&layout, nullptr, 0, folder_.Path().c_str());
  }

  RecordingDialogs dialogs_;
  TempFolder folder_;
  Frame frames_[48];
  int used_ = 0;
  Frame* entries_[8] = {};
  Frame** table_ = nullptr;
  SInt16 count_ = 0;
};

Entry Head(const std::string& key, std::vector<int> sizes, Rect bounds = {0, 0, 8, 8}) {
  return Entry{key, true, sizes, bounds, {}, {}, {}};
}
Entry Member(const std::string& key, Rect bounds = {0, 0, 8, 8}) { return Entry{key, false, {}, bounds, {}, {}, {}}; }

TEST_F(LayoutLoad, NamesArraysOfOneTwoAndThreeDimensionsInTableOrder) {
  Frame* one = Register("oneFRAME", 3, 3);
  Frame* two = Register("twoFRAME", 2, 6);
  Frame* three = Register("threeFRAME", 2, 8);
  Frame* lone = Register("loneFRAME", 1, 1);
  const std::vector<std::vector<std::string>> names = {
      {"oneFRAME", "oneFRAME[1]", "oneFRAME[2]"},
      {"twoFRAME", "twoFRAME[0][1]", "twoFRAME[0][2]", "twoFRAME[1][0]", "twoFRAME[1][1]", "twoFRAME[1][2]"},
      {"threeFRAME", "threeFRAME[0][0][1]", "threeFRAME[0][1][0]", "threeFRAME[0][1][1]", "threeFRAME[1][0][0]",
       "threeFRAME[1][0][1]", "threeFRAME[1][1][0]", "threeFRAME[1][1][1]"},
      {"loneFRAME"}};
  const std::vector<std::vector<int>> sizes = {{3}, {2, 3}, {2, 2, 2}, {}};
  std::vector<Entry> file;
  SInt16 x = 0;
  for (size_t a = 0; a < names.size(); a++) {
    for (size_t m = 0; m < names[a].size(); m++, x += 10) {
      Rect r{0, x, 10, SInt16(x + 8)};
      file.push_back(m == 0 ? Head(names[a][m], sizes[a], r) : Member(names[a][m], r));
    }
  }
  WriteLayout(folder_, "Table", file);
  ASSERT_EQ(Load("Table"), 1);
  EXPECT_TRUE(dialogs_.Reports().empty());

  Frame* blocks[] = {one, two, three, lone};
  x = 0;
  for (size_t a = 0; a < names.size(); a++) {
    for (size_t m = 0; m < names[a].size(); m++, x += 10) {
      const Frame& f = blocks[a][m];
      EXPECT_EQ(Name(f.name), names[a][m]);
      EXPECT_EQ(f.bounds.left, x) << names[a][m];
      EXPECT_EQ(f.member, m == 0 ? 0 : 1) << names[a][m];
      EXPECT_EQ(Name(f.kindName), "FRAME");
    }
    EXPECT_EQ(Name(blocks[a][names[a].size()].name), "") << "guard after " << names[a][0];
  }
  // The last index runs fastest; (i, j, k) are stored on the members.
  EXPECT_EQ(two[3].arrayIndex[0], 1);
  EXPECT_EQ(two[3].arrayIndex[1], 0);
  EXPECT_EQ(three[7].arrayIndex[2], 1);
  EXPECT_EQ(lone->ArraySize(), 0);  // the file gives no sizes
  EXPECT_EQ(GetArrayFrame(0, 2, 0, 0), &one[2]);
  EXPECT_EQ(GetArrayFrame(0, 3, 0, 0), nullptr);
  EXPECT_EQ(GetArrayFrame(1, 1, 1, 0), &two[3]);
  EXPECT_EQ(GetArrayFrame(9, 0, 0, 0), nullptr);
}

// A dimension of size 1 holds index 0 only: no member lies outside the
// array, and the block holds exactly the array's records.
TEST_F(LayoutLoad, DimensionsOfOneMakeOnlyTheMembersInsideTheArray) {
  struct Case {
    const char* name;
    std::vector<int> sizes;
    std::vector<std::string> members;  // after the head, in block order
    std::vector<std::array<SInt16, 3>> places;
  };
  const std::vector<Case> cases = {
      {"aFRAME", {2, 1}, {"aFRAME[1][0]"}, {{1, 0, 0}}},
      {"bFRAME",
       {2, 2, 1},
       {"bFRAME[0][1][0]", "bFRAME[1][0][0]", "bFRAME[1][1][0]"},
       {{0, 1, 0}, {1, 0, 0}, {1, 1, 0}}},
      {"cFRAME",
       {2, 1, 2},
       {"cFRAME[0][0][1]", "cFRAME[1][0][0]", "cFRAME[1][0][1]"},
       {{0, 0, 1}, {1, 0, 0}, {1, 0, 1}}},
      {"dFRAME", {1, 1, 1}, {}, {}},
  };
  std::vector<Frame*> blocks;
  std::vector<Entry> file;
  for (const Case& c : cases) {
    SInt16 records = 1;
    for (int n : c.sizes) records = SInt16(records * n);
    blocks.push_back(Register(c.name, SInt8(c.sizes[0]), SInt16(c.members.size() + 1)));
    file.push_back(Head(c.name, c.sizes));
    for (const std::string& m : c.members) file.push_back(Member(m));
    EXPECT_EQ(SInt16(c.members.size() + 1), records) << c.name;
  }
  WriteLayout(folder_, "Ones", file);
  ASSERT_EQ(Load("Ones"), 1);
  EXPECT_TRUE(dialogs_.Reports().empty());
  for (size_t a = 0; a < cases.size(); a++) {
    const Case& c = cases[a];
    for (size_t m = 0; m < c.members.size(); m++) {
      const Frame& f = blocks[a][m + 1];
      EXPECT_EQ(Name(f.name), c.members[m]) << c.name;
      for (int d = 0; d < 3; d++) EXPECT_EQ(f.arrayIndex[d], c.places[m][size_t(d)]) << c.members[m];
    }
    EXPECT_EQ(Name(blocks[a][c.members.size() + 1].name), "") << "guard after " << c.name;
  }
}

TEST_F(LayoutLoad, ReadsHotItemsAndAlignPoints) {
  Frame* block = Register("shipFRAME", 2, 2);
  Entry head = Head("shipFRAME", {2}, Rect{2, 4, 34, 36});
  head.hotRects = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
  head.hotPoints = {{3, 4}};
  head.alignPoints = {{0, Point{16, 16}}, {7, Point{-2, 5}}};
  // A stray entry is not consumed: it waits for a frame of its name, so
  // the member after it stays as it was.
  Entry member = Member("shipFRAME[1]", Rect{2, 40, 34, 72});
  WriteLayout(folder_, "Ship", {head, Member("strayFRAME"), member});
  ASSERT_EQ(Load("Ship"), 1);

  const Frame& f = block[0];
  EXPECT_EQ(f.bounds.left, 4);
  EXPECT_EQ(f.bounds.bottom, 34);
  EXPECT_EQ(f.HotRectCount(), 3);
  EXPECT_EQ(f.HotRect(2).right, 12);
  EXPECT_EQ(f.HotRect(3).right, 0);
  EXPECT_EQ(f.HotRect(-1).left, 0);
  EXPECT_EQ(f.HotPointCount(), 1);
  EXPECT_EQ(f.HotPoint(0).h, 4);
  EXPECT_EQ(f.HotPoint(1).h, 0);
  EXPECT_EQ(f.AlignPoint(0).v, 16);
  EXPECT_EQ(f.AlignPoint(7).h, 5);
  EXPECT_EQ(f.AlignPoint(3).h, 0);  // missing: (0, 0)
  EXPECT_EQ(f.AlignPoint(8).h, 0);
  EXPECT_EQ(f.AlignPoint(-1).v, 0);
  // Not reached by its entry: the member keeps what pass 1 gave it.
  EXPECT_EQ(block[1].bounds.left, 0);
  EXPECT_EQ(block[1].AlignPoint(0).h, -1);
}

TEST_F(LayoutLoad, SkippedMemberEntryIsTriedAgainstTheNextFrame) {
  Frame* block = Register("aFRAME", 3, 3);
  WriteLayout(folder_, "Skip", {Head("aFRAME", {3}, Rect{0, 0, 5, 5}), Member("aFRAME[2]", Rect{0, 50, 5, 55})});
  ASSERT_EQ(Load("Skip"), 1);
  EXPECT_EQ(block[1].bounds.left, 0);
  EXPECT_EQ(block[2].bounds.left, 50);
}

// Files that must be refused without writing past the table or its blocks.
struct Hostile {
  const char* name;
  std::vector<Entry> entries;
  const char* alertName;  // null: no alert
};

TEST_F(LayoutLoad, HostileFilesAreRefusedWithoutWritingPastTheBlocks) {
  const Hostile cases[] = {
      {"unknown start", {Head("nobodyFRAME", {2}), Member("nobodyFRAME[1]")}, "nobodyFRAME"},
      {"array larger than its block", {Head("smallFRAME", {5})}, "smallFRAME"},
      {"more heads than entries",
       {Head("smallFRAME", {2}), Member("smallFRAME[1]"), Head("extraFRAME", {1}), Head("moreFRAME", {1})},
       "moreFRAME"},
      {"three dimensions past the block", {Head("smallFRAME", {2, 9, 9})}, "smallFRAME"},
      {"negative sizes", {Head("smallFRAME", {-3, -1, -2})}, nullptr},
  };
  Frame* small = Register("smallFRAME", 2, 2);
  Frame* extra = Register("extraFRAME", 1, 1);
  for (const Hostile& c : cases) {
    SCOPED_TRACE(c.name);
    for (Frame* f : {&small[0], &small[1], &small[2], &extra[0], &extra[1]}) f->name[0] = 0;
    dialogs_.Clear();
    WriteLayout(folder_, "Hostile", c.entries);
    EXPECT_EQ(Load("Hostile"), 1);
    if (c.alertName) {
      ASSERT_EQ(dialogs_.Reports().size(), 1u);
      EXPECT_EQ(dialogs_.Reports()[0].message,
                std::string("LoadLayout() failed.  The starting frame could not be located in frameLIST: ") +
                    c.alertName + ".");
      EXPECT_FALSE(dialogs_.Reports()[0].fatal);
    } else {
      EXPECT_TRUE(dialogs_.Reports().empty());
    }
    EXPECT_EQ(Name(small[2].name), "") << "guard record written";
    EXPECT_EQ(Name(extra[1].name), "") << "guard record written";
  }
}

TEST_F(LayoutLoad, LongMemberNamesAreRefused) {
  Register("aVeryLongFrameArrayNameFRAME", 12, 12);
  WriteLayout(folder_, "Long", {Head("aVeryLongFrameArrayNameFRAME", {12})});
  EXPECT_EQ(Load("Long"), 1);
  ASSERT_EQ(dialogs_.Reports().size(), 1u);
  EXPECT_NE(dialogs_.Reports()[0].message.find("aVeryLongFrameArrayNameFRAME"), std::string::npos);
}

TEST_F(LayoutLoad, MissingEmptyAndDamagedFiles) {
  Register("aFRAME", 1, 1);
  EXPECT_EQ(Load("Absent"), 0);
  folder_.Write("Damaged.plist", "<dict>\t<key>Frames</key>\t<dict>\t\t<key>aFRAME</key>\t\t<dict>");
  EXPECT_EQ(Load("Damaged"), 0);
  folder_.Write("Empty.plist", "<dict>\t<key>Other</key>\t<integer>1</integer>\t</dict>");
  EXPECT_EQ(Load("Empty"), 1);
  // The plain name is tried before the one with ".plist".
  folder_.Write("Plain", "<dict>\t</dict>");
  EXPECT_EQ(Load("Plain"), 1);
  EXPECT_EQ(LoadLayout_PLIST(nullptr, nullptr, 0, nullptr), 0);
  EXPECT_TRUE(dialogs_.Reports().empty());
}

// With no frame table the layout makes its own frames: one alert says so,
// and a file cannot make it allocate more than kMaxOwnFrames.
TEST(LayoutWithoutTable, OwnFramesAreBoundedAndAlertedOnce) {
  struct Case {
    const char* what;
    std::vector<int> sizes;
    SInt32 frames;
    size_t alerts;
  } cases[] = {
      {"small array", {3}, 3, 1},
      {"the largest array sizes", {127, 127, 127}, kMaxOwnFrames, 2},
  };
  RecordingDialogs dialogs;
  TempFolder folder;
  APPL.frameList = nullptr;
  APPL.frameCount = nullptr;
  frameLIST = nullptr;
  curFrame = nullptr;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dialogs.Clear();
    WriteLayout(folder, "Loose", {Head("looseFRAME", c.sizes)});
    Layout layout;
    layout.name[0] = 5;
    std::copy_n("Loose", 5, layout.name + 1);
    EXPECT_EQ(LoadLayout_PLIST(&layout, nullptr, 0, folder.Path().c_str()), 1);
    EXPECT_EQ(layout.count, c.frames);
    ASSERT_EQ(dialogs.Reports().size(), c.alerts);
    EXPECT_EQ(dialogs.Reports()[0].message, "BAD: creating new frame!");
    if (c.alerts > 1) {
      EXPECT_EQ(dialogs.Reports()[1].message,
                "LoadLayout() failed.  The starting frame could not be located in frameLIST: looseFRAME.");
    }
  }
}

TEST(LayoutCalls, LoadLayoutBeforeInitLayoutsIsFatal) {
  RecordingDialogs dialogs;
  layoutsINITED = 0;
  EXPECT_THROW(LoadLayout("Meteors", "Graphics/Meteors", 1), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "Call InitLayouts() before LoadLayout().");
}

TEST(LayoutFrames, MirrorCentreAndDelete) {
  struct {
    UInt8 h, v;
    Rect bounds, hot;
    Rect mirroredBounds, mirroredHot;
  } cases[] = {
      {1, 0, {0, 0, 10, 20}, {2, 3, 4, 5}, {0, 0, 10, 40}, {2, 35, 4, 37}},
      {0, 1, {0, 0, 10, 20}, {2, 3, 4, 5}, {0, 0, 20, 20}, {16, 3, 18, 5}},
  };
  for (const auto& c : cases) {
    Frame f;
    f.bounds = c.bounds;
    f.SetHotRect(0, c.hot);
    f.Mirror(c.h, c.v);
    EXPECT_EQ(f.HotRectCount(), 2);
    Rect m = f.HotRect(1);
    EXPECT_EQ(m.top, c.mirroredHot.top);
    EXPECT_EQ(m.left, c.mirroredHot.left);
    EXPECT_EQ(m.bottom, c.mirroredHot.bottom);
    EXPECT_EQ(m.right, c.mirroredHot.right);
    EXPECT_EQ(f.bounds.right, c.mirroredBounds.right);
    EXPECT_EQ(f.bounds.bottom, c.mirroredBounds.bottom);
  }

  Frame f;
  f.setFrame(0, 0, 5, 7);
  Rect r;
  CenterRectToFrame(&r, 0, 0, &f);
  EXPECT_EQ(r.left, -2);
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(r.top, -3);
  EXPECT_EQ(r.bottom, 4);
  EXPECT_EQ(rectW, 5);
  EXPECT_EQ(rectH, 7);

  // Deleting an array removes every frame of its base name from the list.
  Frame block[4];
  Layout layout;
  Frame* cursor = block;
  layout.limit = block + 4;
  Frame* head = layout.NewFrame(nullptr, (const unsigned char*)"\x01N", &cursor);
  head->SetArraySize(3);
  ASSERT_TRUE(layout.CreateFrameArray(head, &cursor));
  layout.NewFrame(nullptr, (const unsigned char*)"\x01M", &cursor);
  EXPECT_EQ(layout.count, 4);
  layout.DeleteFrameArray(&block[1], 0);
  EXPECT_EQ(layout.count, 1);
  EXPECT_EQ(layout.first, &block[3]);
  EXPECT_EQ(layout.last, &block[3]);
  EXPECT_EQ(layout.NewFrame(nullptr, (const unsigned char*)"\x01O", &cursor), nullptr) << "block is full";
}

}  // namespace
