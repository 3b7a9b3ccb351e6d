// The high-score table: one property-list file in the Preferences folder,
// held in memory as the tree that is written back, plus one check entry per
// player that carries the result of the game just ended until it has been
// compared with the table.
//
// The file's root holds the array "Scores", best first, each row a
// dictionary of "Name" (string), "Score" (integer) and "Level" (integer,
// the wave reached).
#pragma once

#include <cstdio>
#include <string>

#include "foundation/Array.h"
#include "foundation/PlistTag.h"

class ScoreEntry : public PlistTag {
 public:
  SInt16 position;  // the row this result took, -1 for none
  UInt8 newEntry;   // set while the table is being updated for it
};

class Scores {
 public:
  FILE* file;
  PlistTag document;
  Array<ScoreEntry> checkEntry;
  SInt16 numScores;
  SInt16 numCheck;
  std::string fileName;

  Scores(SInt16 scores, SInt16 checks);
  // Values of 0 or less keep the current count.
  void Init(SInt16 scores, SInt16 checks);
  void ClearUpdates();
  void SetFileName(const char* name);
  SInt16 NumScores() const { return numScores; }
  std::string Path() const;
  FILE* FindScoresFile(const char* mode);
  // Places each check entry that beats a row (strictly) into the table; 1 when
  // any did.
  SInt16 Check(const char* key);
  void Update();
  void SetEntryName(char player, const char* name);
  SInt16 TestHighScore(const char* name);
  SInt16 Save() { return 0; }
  void Delete() {}
  SInt16 Load(unsigned char);
  void TestFile();
  // The "Scores" array, made with numScores cleared rows when missing, padded
  // with cleared rows when short and cut when long, so the table always has
  // exactly numScores rows.
  PlistTag* Normalise();
};

extern Scores mainSCORES;

// Reads the file; a corrupt or short one gives a cleared table, and so does
// a missing one, which is also written as such. A file that is there but
// cannot be read is left alone: the table in memory stays (cleared rows at
// start-up) and the non-fatal "Failed to load the scores file." is shown.
void LoadScores();
// Writes the in-memory table through the safe save: a failed save leaves the
// old file whole. 0, or -1 when it failed or when the file is there but was
// not read by the last LoadScores (its scores are not overwritten unseen).
SInt16 SaveScores();
// Writes a cleared table to the file (the in-memory one stays until the
// next LoadScores) and forgets the check entries' places. 0, or -1 when the
// file could not be written (the old one stays whole).
SInt16 ClearScores();
// The player's Clear Scores: the file is cleared, a failure is told with the
// non-fatal "Failed to save the scores file.", and the table is read back
// from the file, so that it shows what the file holds either way.
void ClearScoresAndReload();
// The name of the player's new row, also remembered as that player's last
// name; then the table is saved and read back. When the save fails the
// table stays in memory (the next save tries again) and the first such
// failure shows the non-fatal "Failed to save the scores file.".
void SetNewScoreName(char player, const char* name);
void ShowScores();
void CheckScores();
void DrawScores();
