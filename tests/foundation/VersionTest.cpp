#include <gtest/gtest.h>

#include <string>

#include "foundation/Paths.h"
#include "foundation/StringFunctions.h"
#include "foundation/Version.h"
#include "support/RecordingDialogs.h"
#include "support/TempFolder.h"

namespace {

std::string Text(const unsigned char* p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

UInt32 Packed(NumVersion v) {
  return UInt32(v.majorRev) << 24 | UInt32(v.minorAndBugRev) << 16 | UInt32(v.stage) << 8 | v.nonRelRev;
}

// Writes an Info.plist holding `version` (none when null) into a bundle in
// `folder` and reads the application's version from it.
void ReadBundleVersion(const TempFolder& folder, const char* version, NumVersion* out, Str255 longText,
                       Str255 shortText) {
  std::string plist =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
      "\t<key>CFBundleName</key>\n\t<string>Game</string>\n";
  if (version) plist += std::string("\t<key>CFBundleVersion</key>\n\t<string>") + version + "</string>\n";
  plist += "</dict>\n</plist>\n";
  folder.Write("Game.app/Contents/Info.plist", plist);
  SetBundlePathForTesting((folder / "Game.app").c_str());
  GetApplicationVersion(out, longText, 1);
  GetVersionString(*out, shortText, 0);
  SetBundlePathForTesting(nullptr);
}

TEST(Version, BundleVersionTextsPackAndFormat) {
  const struct {
    const char* text;
    UInt32 packed;
    const char* longForm;
    const char* shortForm;
  } cases[] = {
      {"1.0", 0x01008000, "1.0", "1.0"},
      {"1.2.3", 0x01238000, "1.2.3", "1.2.3"},
      {"1.2b3", 0x01206003, "1.2 - Beta 3", "1.2b3"},
      {"2.0fc1", 0x02008001, "2.0 - Final Candidate 1", "2.0fc1"},
      {"1.0d12", 0x0100200C, "1.0 - Developer 12", "1.0d12"},
      {"1.1a2", 0x01104002, "1.1 - Alpha 2", "1.1a2"},
      {"3", 0x03008000, "3.0", "3.0"},
      {"1.20", 0x01408000, "1.4", "1.4"},  // the minor version is a nibble
      {"1.2x7", 0x01208007, "1.2 - Final Candidate 7", "1.2fc7"},
      {"", 0x00008000, "0.0", "0.0"},
      {nullptr, 0x00008000, "0.0", "0.0"},  // no CFBundleVersion key
      {"1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16", 0x01238004, "1.2.3 - Final Candidate 4", "1.2.3fc4"},
  };
  TempFolder folder;
  RecordingDialogs dialogs;
  for (auto c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(none)");
    NumVersion v;
    Str255 longText, shortText;
    ReadBundleVersion(folder, c.text, &v, longText, shortText);
    EXPECT_EQ(Packed(v), c.packed);
    EXPECT_EQ(Text(longText), c.longForm);
    EXPECT_EQ(Text(shortText), c.shortForm);
  }
  EXPECT_TRUE(dialogs.Reports().empty());
}

TEST(Version, AMissingInfoPlistIsFatal) {
  TempFolder folder;
  RecordingDialogs dialogs;
  SetBundlePathForTesting((folder / "Nothing.app").c_str());
  NumVersion v;
  Str255 text;
  EXPECT_THROW(GetApplicationVersion(&v, text, 1), FatalReport);
  SetBundlePathForTesting(nullptr);
  EXPECT_EQ(dialogs.Reports().back().message, "Unable to determine the application version.");
  EXPECT_EQ(dialogs.Reports().back().detail, "FSRefIsValid()");
}

TEST(Version, TheBuiltBundleCarriesTheProjectVersion) {
  const char* built = getenv("HALVANE_BUNDLE");
  if (!built) GTEST_SKIP() << "HALVANE_BUNDLE is set by CTest";
  SetBundlePathForTesting(built);
  NumVersion v;
  Str255 text;
  GetApplicationVersion(&v, text, 1);
  SetBundlePathForTesting(nullptr);
  EXPECT_EQ(v.stage, finalStage);
  EXPECT_EQ(v.nonRelRev, 0);
  EXPECT_GE(v.majorRev, 1);
}

TEST(Version, LongTextsKeepTo31Characters) {
  NumVersion v = VersionValue(255, 15, 15, 0x33);
  v.nonRelRev = 255;
  Str255 text;
  GetVersionString(v, text, 1);
  EXPECT_EQ(Text(text), "255.15.15 -  255");  // an unknown stage has no name
  v.stage = finalStage;
  GetVersionString(v, text, 1);
  EXPECT_EQ(Text(text), "255.15.15 - Final Candidate 255");
  EXPECT_LE(text[0], 31);
  GetVersionString(v, nullptr, 1);
}

TEST(Version, VersionOfStringTakesOneTwoOrThreeDigits) {
  const struct {
    const char* text;
    UInt32 packed;
  } cases[] = {{"1.5", 0x01500000}, {"7", 0x07000000}, {"1.2.3", 0x01230000}};
  for (auto c : cases) {
    Str255 p;
    CToPStr(c.text, p);
    EXPECT_EQ(Packed(VersionOfString(p)), c.packed) << c.text;
  }
  RecordingDialogs dialogs;
  for (const char* bad : {"1.23", "", "12", "1,2", "1.2,3"}) {
    Str255 p;
    CToPStr(bad, p);
    EXPECT_THROW(VersionOfString(p), FatalReport) << bad;
    EXPECT_EQ(dialogs.Reports().back().message, "Version string must be in the format \"X\" or \"X.X\" or \"X.X.X\"");
    EXPECT_EQ(dialogs.Reports().back().detail, "");
  }
}

TEST(Version, CompareLooksAtNumbersOnly) {
  NumVersion a = VersionValue(1, 2, 3, finalStage), b = VersionValue(1, 2, 4, finalStage);
  EXPECT_EQ(CompareVersion(&a, &b), -1);
  EXPECT_EQ(CompareVersion(&b, &a), 1);
  NumVersion beta = VersionValue(1, 2, 0, betaStage), release = VersionValue(1, 2, 0, finalStage);
  beta.nonRelRev = 1;
  EXPECT_EQ(CompareVersion(&beta, &release), 0);
  NumVersion two = VersionValue(2, 0, 0, 0), older = VersionValue(1, 9, 9, 0);
  EXPECT_EQ(CompareVersion(&two, &older), 1);
  EXPECT_EQ(Packed(VersionValue(1, 2, 3, betaStage)), 0x01236000u);
}

TEST(Version, SystemVersionIsTheKernels) {
  NumVersion v = SystemVersion();
  EXPECT_GE(v.majorRev, 3);
  EXPECT_EQ(v.stage, 0);
  EXPECT_EQ(v.nonRelRev, 0);
}

}  // namespace
