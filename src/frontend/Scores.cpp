#include "frontend/Scores.h"

#include <cstring>

#include "foundation/ErrorDialog.h"
#include "foundation/Paths.h"
#include "foundation/Random.h"
#include "foundation/TextBuffer.h"
#include "frontend/Preferences.h"
#include "platform/PlatformFiles.h"
#include "platform/SafeSave.h"

Scores mainSCORES(10, 1);

namespace {

const char kLoadFailed[] = "Failed to load the scores file.";
const char kSaveFailed[] = "Failed to save the scores file.";

// Whether the table in memory may replace the file: false while the file is
// there but could not be read, so that a save never overwrites scores it has
// not seen.
bool tableFromFile = true;
// The player hears of failed saves once, not at every new score.
bool saveFailureShown = false;

const unsigned char kCheckEntryName[] =
    "\x0a"
    "checkEntry";

void AddClearedRow(PlistTag* scores) {
  PlistTag* row = scores->NewElement();
  row->NewString("Name", "-");
  row->NewLong("Score", 0);
  row->NewChar("Level", 0);
}

SInt32 ValueOf(PlistTag* tag, const char* key) {
  SInt32 v = 0;
  tag->GetLong(key, &v, 0);
  return v;
}

// Replaces dst's values with copies of src's, keeping dst's own type and key.
void CopyValues(PlistTag* src, PlistTag* dst) {
  Str31 type, key;
  memcpy(type, dst->type, sizeof type);
  memcpy(key, dst->key, sizeof key);
  dst->DeleteChildren();
  src->CopyTo(dst);
  memcpy(dst->type, type, sizeof type);
  memcpy(dst->key, key, sizeof key);
}

bool WriteTree(PlistTag* tree, const std::string& path) {
  TextBuffer text;
  tree->SaveBuffer(&text);
  return SafeSaveFile(path, text.Start(), text.DataSize()) == noErr;
}

}  // namespace

Scores::Scores(SInt16 scores, SInt16 checks)
    : file(nullptr), checkEntry(0, kCheckEntryName), numScores(0), numCheck(0) {
  Init(scores, checks);
}

void Scores::Init(SInt16 scores, SInt16 checks) {
  if (scores > 0) numScores = scores;
  if (checks > 0) numCheck = checks;
  for (UInt32 i = 0; i < checkEntry.Size(); ++i) checkEntry[i].DeleteChildren();
  checkEntry.ManualInit(UInt32(numCheck));
  checkEntry.SetName(kCheckEntryName, -1);
  ClearUpdates();
  saveFailureShown = false;
}

void Scores::ClearUpdates() {
  for (UInt32 i = 0; i < checkEntry.Size(); ++i) {
    checkEntry[i].DeleteChildren();
    checkEntry[i].position = -1;
    checkEntry[i].newEntry = 0;
  }
}

void Scores::SetFileName(const char* name) { fileName = name ? name : ""; }

std::string Scores::Path() const { return GetPreferencesPath() + "/" + fileName + ".plist"; }

FILE* Scores::FindScoresFile(const char* mode) {
  if (fileName.empty()) ErrorDialog("Must call Scores::SetFileName() before Scores:FindScoresFile()", "", 0, 1);
  // Reading never waits on a named pipe or a device in the file's place.
  if (mode && mode[0] == 'r') return OpenRegularFileForReading(Path());
  return fopen(Path().c_str(), mode);
}

PlistTag* Scores::Normalise() {
  PlistTag* scores = document.FindArray("Scores", 1);
  if (!scores) return nullptr;
  // Rows beyond the table are let go of at once: a long file is cut in
  // linear time.
  UInt32 rows = UInt32(numScores > 0 ? numScores : 0);
  if (scores->children.Size() > rows) {
    for (UInt32 r = rows; r < scores->children.Size(); ++r) {
      scores->children[r]->parent = nullptr;
      delete scores->children[r];
    }
    scores->children.Resize(rows, 0);
  }
  while (scores->NumChildren() < UInt16(numScores)) AddClearedRow(scores);
  // A row that is no dictionary could not take a name: it becomes a cleared one.
  for (UInt16 r = 0; r < scores->NumChildren(); ++r) {
    PlistTag* row = scores->GetChild(r);
    if (row->type[0] == 4 && memcmp(row->type + 1, "dict", 4) == 0) continue;
    row->DeleteChildren();
    row->type[0] = 4;
    memcpy(row->type + 1, "dict", 4);
    row->value[0] = 0;
    row->NewString("Name", "-");
    row->NewLong("Score", 0);
    row->NewChar("Level", 0);
  }
  return scores;
}

SInt16 Scores::Check(const char* key) {
  if (checkEntry.Size() == 0) return 0;
  PlistTag* scores = document.FindArray("Scores", 1);
  if (!scores) return 0;
  SInt16 found = 0;
  for (UInt32 i = 0; i < checkEntry.Size(); ++i) {
    ScoreEntry& e = checkEntry[i];
    // An entry without a result stands for a player who did not play: it
    // takes no row, whatever the table holds (even negative scores).
    if (!e.FindLong(key, 0)) continue;
    SInt32 v = ValueOf(&e, key);
    for (UInt16 r = 0; r < scores->NumChildren(); ++r) {
      if (v > ValueOf(scores->GetChild(r), key)) {
        e.position = SInt16(r);
        e.newEntry = 1;
        found = 1;
        break;
      }
    }
    if (found) {
      Update();
      e.newEntry = 0;
    }
  }
  return found;
}

void Scores::Update() {
  PlistTag* scores = document.FindArray("Scores", 0);
  if (checkEntry.Size() == 0 || !scores) return;
  for (UInt32 i = 0; i < checkEntry.Size(); ++i) {
    ScoreEntry& e = checkEntry[i];
    if (!e.newEntry) continue;
    SInt32 p = e.position;
    SInt32 n = scores->NumChildren();
    for (SInt32 r = n - 1; r >= p; --r) {
      if (r != p) {
        PlistTag* to = scores->GetChild(UInt16(r));
        PlistTag* from = scores->GetChild(UInt16(r - 1));
        if (!to || !from) ErrorDialog("Failed to get entry.", "Score::Update()", 0, 1);
        CopyValues(from, to);
      }
      for (UInt32 j = 0; j < checkEntry.Size(); ++j) {
        if (j == i || checkEntry[j].position != r) continue;
        checkEntry[j].position = SInt16(r + 1);
        if (checkEntry[j].position >= numScores) checkEntry[j].position = -1;
      }
    }
    if (PlistTag* row = scores->GetChild(UInt16(p))) CopyValues(&e, row);
  }
}

void Scores::SetEntryName(char player, const char* name) {
  if (player < 0 || UInt32(player) >= checkEntry.Size()) return;
  PlistTag* scores = document.FindArray("Scores", 0);
  if (!scores) return;
  SInt16 p = checkEntry[UInt32(player)].position;
  if (p < 0 || p >= scores->NumChildren()) return;
  scores->GetChild(UInt16(p))->SetString("Name", PrintableText(name).c_str());
}

SInt16 Scores::TestHighScore(const char* name) {
  ClearUpdates();
  if (checkEntry.Size() == 0) return 0;
  checkEntry[0].NewString("Name", PrintableText(name).c_str());
  checkEntry[0].NewLong("Score", SInt32(SubRandom() % 10000));
  return Check("Score");
}

SInt16 Scores::Load(unsigned char) {
  Init(10, 1);
  return -1;
}

void Scores::TestFile() {
  static const SInt32 kSample[10] = {138459, 98620, 76325, 30025, 13528, 8620, 3520, 2300, 1250, 869};
  static const char* const kNames[10] = {"Ada", "Bram", "Cleo", "Dov", "Esme", "Finn", "Gus", "Hana", "Ivo", "Juno"};
  PlistTag tree;
  PlistTag* scores = tree.NewArray("Scores");
  for (int i = 0; i < 10; ++i) {
    PlistTag* row = scores->NewElement();
    row->NewString("Name", kNames[i]);
    row->NewLong("Score", kSample[i]);
  }
  if (fileName.empty()) ErrorDialog("Must call Scores::SetFileName() before Scores:FindScoresFile()", "", 0, 1);
  if (!WriteTree(&tree, Path())) ErrorDialog("Failed to located the scores file.", "", 0, 1);
  tree.DeleteChildren();
}

void LoadScores() {
  Scores& s = mainSCORES;
  FILE* file = s.FindScoresFile("rb");
  // Only a missing file is replaced by a cleared table; one that is there
  // but cannot be read (no permission, not a regular file, a passing error)
  // is left alone, and the game plays on with the table in memory.
  if (!file && PlatformGetCatalogInfo(FSRef{s.Path()}, true, nullptr) == fnfErr) {
    ClearScores();
    file = s.FindScoresFile("rb");
  }
  if (!file) {
    tableFromFile = PlatformGetCatalogInfo(FSRef{s.Path()}, true, nullptr) == fnfErr;
    s.Normalise();
    ErrorDialog(kLoadFailed, "", 0, 0);
    return;
  }
  s.document.DeleteChildren();
  s.file = file;
  s.document.LoadFile(file);
  fclose(file);
  s.file = nullptr;
  tableFromFile = true;
  s.Normalise();
}

SInt16 SaveScores() {
  Scores& s = mainSCORES;
  if (s.fileName.empty()) ErrorDialog("Must call Scores::SetFileName() before Scores:FindScoresFile()", "", 0, 1);
  if (!tableFromFile && PlatformGetCatalogInfo(FSRef{s.Path()}, true, nullptr) == fnfErr) tableFromFile = true;
  if (!tableFromFile || !WriteTree(&s.document, s.Path())) return -1;
  return 0;
}

SInt16 ClearScores() {
  Scores& s = mainSCORES;
  if (s.fileName.empty()) ErrorDialog("Must call Scores::SetFileName() before Scores:FindScoresFile()", "", 0, 1);
  PlistTag tree;
  PlistTag* scores = tree.NewArray("Scores");
  for (SInt16 i = 0; i < s.numScores; ++i) AddClearedRow(scores);
  const bool written = WriteTree(&tree, s.Path());
  tree.DeleteChildren();
  s.ClearUpdates();
  return written ? 0 : -1;
}

void ClearScoresAndReload() {
  if (ClearScores() != 0) ErrorDialog(kSaveFailed, "", 0, 0);
  LoadScores();
}

// A table that could not be saved stays in memory, new row and all, and
// the next save tries again; the player is told the first time.
void SetNewScoreName(char player, const char* name) {
  std::string clean = PrintableText(name ? name : "");
  mainSCORES.SetEntryName(player, clean.c_str());
  if (player == 0 || player == 1) PREFS.lastPlayer[int(player)] = clean;
  if (SaveScores() != 0) {
    if (!saveFailureShown) ErrorDialog(kSaveFailed, "", 0, 0);
    saveFailureShown = true;
    return;
  }
  saveFailureShown = false;
  LoadScores();
}

void ShowScores() {}
void CheckScores() {}
void DrawScores() {}
