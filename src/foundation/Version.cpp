#include "foundation/Version.h"

#include <algorithm>
#include <string>

#include "foundation/ErrorDialog.h"
#include "foundation/FileClass.h"
#include "foundation/Paths.h"
#include "foundation/PlistTag.h"
#include "foundation/StringFunctions.h"
#include "platform/PlatformSystem.h"

namespace {

struct StageName {
  UInt8 stage;
  const char* longName;
  const char* shortName;
};

const StageName stageNames[] = {
    {developStage, "Developer", "d"},
    {alphaStage, "Alpha", "a"},
    {betaStage, "Beta", "b"},
    {finalStage, "Final Candidate", "fc"},
};

const StageName* FindStage(UInt8 stage) {
  for (const StageName& s : stageNames) {
    if (s.stage == stage) return &s;
  }
  return nullptr;
}

void AddText(const char* piece, unsigned char* text) {
  Str255 p;
  CToPStr(piece, p);
  AddString(p, text);
}

NumVersion Packed(UInt8 major, UInt8 minor, UInt8 fix, UInt8 stage, UInt8 nonRelRev) {
  NumVersion v;
  v.majorRev = major;
  v.minorAndBugRev = UInt8(minor * 16 + fix);
  v.stage = stage;
  v.nonRelRev = nonRelRev;
  return v;
}

}  // namespace

NumVersion ParseVersionText(const unsigned char* text) {
  UInt8 fields[4] = {0, 0, 0, 0};
  UInt8 stage = finalStage;
  int field = 0;
  Str31 digits = {0};
  int length = text ? text[0] : 0;
  for (int i = 0; i <= length; i++) {
    bool end = i == length;
    unsigned char c = end ? 0 : text[i + 1];
    if (!end && c >= '0' && c <= '9') {
      AddCharToString(c, digits);
      continue;
    }
    if (!end && c == 'c') continue;
    SInt32 number = 0;
    QK_StringToNum(digits, &number);
    if (field <= 3) fields[field] = UInt8(number);
    field++;
    digits[0] = 0;
    if (end || c == '.') continue;
    field = 3;
    if (c == 'd')
      stage = developStage;
    else if (c == 'a')
      stage = alphaStage;
    else if (c == 'b')
      stage = betaStage;
    else if (c == 'f')
      stage = finalStage;
  }
  return Packed(fields[0], fields[1], fields[2], stage, fields[3]);
}

void GetApplicationVersion(NumVersion* version, unsigned char* text, unsigned char longForm) {
  std::string path = GetBundlePath() + "/" + "Contents" + "/" + "Info.plist";
  FileClass file = FileClassOfPath(path.c_str());
  if (!FSRefIsValid(&file.ref)) {
    ErrorDialog("Unable to determine the application version.", "FSRefIsValid()", 0, 1);
    return;
  }
  PlistTag plist;
  std::string value;
  if (OpenFile(&file, 0, 0) == noErr) {
    plist.LoadFile(&file);
    CloseFile(&file);
    plist.GetString("CFBundleVersion", &value, 0);
    plist.DeleteChildren();
  }
  // A value longer than 31 characters is read by its first 31.
  Str31 versionText;
  CToPStr(value.substr(0, 31).c_str(), versionText);
  *version = ParseVersionText(versionText);
  GetVersionString(*version, text, longForm);
}

void GetVersionString(NumVersion version, unsigned char* text, unsigned char longForm) {
  if (!text) return;
  text[0] = 0;
  AddNumToString(version.majorRev, text);
  AddText(".", text);
  AddNumToString(version.minorAndBugRev >> 4, text);
  if (version.minorAndBugRev & 0x0F) {
    AddText(".", text);
    AddNumToString(version.minorAndBugRev & 0x0F, text);
  }
  if (version.nonRelRev == 0) return;
  const StageName* stage = FindStage(version.stage);
  if (longForm) {
    AddText(" - ", text);
    if (stage) AddText(stage->longName, text);
    AddText(" ", text);
  } else if (stage) {
    AddText(stage->shortName, text);
  }
  AddNumToString(version.nonRelRev, text);
}

NumVersion VersionOfString(const unsigned char* text) {
  int length = text ? text[0] : 0;
  bool dots = (length == 3 && text[2] == '.') || (length == 5 && text[2] == '.' && text[4] == '.') || length == 1;
  if (!dots) {
    ErrorDialog("Version string must be in the format \"X\" or \"X.X\" or \"X.X.X\"", "", 0, 1);
    return NumVersion{};
  }
  UInt8 major = UInt8(text[1] - '0');
  UInt8 minor = length >= 3 ? UInt8(text[3] - '0') : 0;
  UInt8 fix = length == 5 ? UInt8(text[5] - '0') : 0;
  return Packed(major, minor, fix, 0, 0);
}

SInt16 CompareVersion(const NumVersion* a, const NumVersion* b) {
  int keys[3][2] = {{a->majorRev, b->majorRev},
                    {a->minorAndBugRev >> 4, b->minorAndBugRev >> 4},
                    {a->minorAndBugRev & 0x0F, b->minorAndBugRev & 0x0F}};
  for (auto& k : keys) {
    if (k[0] != k[1]) return k[0] > k[1] ? 1 : -1;
  }
  return 0;
}

NumVersion VersionValue(unsigned char major, unsigned char minor, unsigned char fix, unsigned char stage) {
  return Packed(major, minor, fix, stage, 0);
}

NumVersion SystemVersion() {
  SInt32 response = 0;
  if (!PlatformSystemVersion(&response)) return NumVersion{};
  NumVersion version{};
  version.majorRev = UInt8(response >> 8);
  version.minorAndBugRev = UInt8(response);
  return version;
}
