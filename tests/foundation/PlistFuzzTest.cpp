// Feeds the property-list reader a fixed, deterministic set of mutated texts.
// Whatever it gets, it must return 0 or -1 without a report; a tree it
// accepts must save without a report, and that text must load again and
// save to the same bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/PlistTag.h"
#include "foundation/TextBuffer.h"
#include "support/RecordingDialogs.h"
#include "support/TestSeed.h"

namespace {

struct Root : PlistTag {
  ~Root() { DeleteChildren(); }
};

SInt16 Load(PlistTag& tree, const std::string& text) {
  TextBuffer buffer;
  buffer.LoadData(text.data(), SInt32(text.size()));
  return tree.LoadBuffer(&buffer);
}

std::string Save(PlistTag& tree) {
  TextBuffer buffer;
  tree.SaveBuffer(&buffer);
  return std::string((const char*)buffer.Start(), size_t(buffer.DataSize()));
}

const std::vector<std::string> kSeeds = {
    "<dict>\r\t<key>Full Screen</key>\r\t<false/>\r\t<key>Window Size</key>\r\t<dict>\r\t\t<key>H</key>\r"
    "\t\t<integer>640</integer>\r\t\t<key>V</key>\r\t\t<integer>480</integer>\r\t</dict>\r\t<key>List</key>\r"
    "\t<array>\r\t\t<dict>\r\t\t\t<key>Name</key>\r\t\t\t<string>Ann</string>\r\t\t</dict>\r"
    "\t\t<integer>5</integer>\r\t</array>\r</dict>",
    "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n<dict>\n\t<key>Scores</key>\n\t<array>\n\t\t<dict>\n"
    "\t\t\t<key>Name</key>\n\t\t\t<string>a&lt;b</string>\n\t\t\t<key>Score</key>\n\t\t\t<integer>9000</integer>\n"
    "\t\t</dict>\n\t</array>\n\t<key>R&amp;D</key>\n\t<real>0.5</real>\n</dict>\n</plist>\n",
    "<dict><key>Keys</key><data>AAAAA4JBQQ==</data><key>Audio Prefs</key><dict><key>On</key><true/>"
    "<key>Deep</key><dict><key>x</key><dict></dict></dict></dict></dict>",
};

const std::vector<std::string> kTokens = {
    "<",       ">",
    "/",       "</",
    "<key>",   "</key>",
    "<dict>",  "</dict>",
    "<array>", "</array>",
    "<data>",  "<true/>",
    "&lt;",    "&amp;",
    "\t",      "\r",
    "\n",      std::string(1, '\0'),
    "\xCA",    std::string(300, 'a'),
};

std::string Mutate(std::string text, std::mt19937& random) {
  int edits = 1 + int(random() % 4);
  for (int e = 0; e < edits; e++) {
    size_t at = text.empty() ? 0 : random() % (text.size() + 1);
    switch (random() % 5) {
      case 0:
        if (at < text.size()) text[at] = char(random());
        break;
      case 1: text.insert(at, kTokens[random() % kTokens.size()]); break;
      case 2: text.erase(at, random() % 16); break;
      case 3: text.resize(at); break;
      default: text.insert(at, text.substr(random() % (text.size() + 1), random() % 64));
    }
  }
  return text;
}

TEST(PlistFuzz, MutatedTextNeverCrashesAndAcceptedTreesSurviveASaveCycle) {
  RecordingDialogs dialogs;
  const TestSeed seed(20261209);
  SCOPED_TRACE(seed.note);
  std::mt19937 random(seed.value);
  int accepted = 0;
  for (int i = 0; i < 3000; i++) {
    std::string text = Mutate(kSeeds[i % kSeeds.size()], random);
    Root tree;
    SInt16 result = Load(tree, text);
    ASSERT_TRUE(result == 0 || result == -1);
    if (result != 0) {
      EXPECT_EQ(tree.NumChildren(), 0);
      continue;
    }
    accepted++;
    std::string saved = Save(tree);
    Root again;
    ASSERT_EQ(Load(again, saved), 0) << "input #" << i;
    EXPECT_EQ(Save(again), saved) << "input #" << i;
  }
  EXPECT_TRUE(dialogs.Reports().empty());
  EXPECT_GT(accepted, 300);  // the mutations reach past the first checks
}

}  // namespace
