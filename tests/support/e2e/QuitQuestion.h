// The question the program asks before ending a game in progress: a panel
// over the darkened game, which Return answers with "quit" and Escape with
// "go on playing".
#pragma once

#include <optional>

#include "support/e2e/Process.h"
#include "support/e2e/Program.h"
#include "support/e2e/ScreenImage.h"

namespace e2e {

// How many of the panel picture's plain patches show in place, and how many
// there are to find.
int QuitPanelMatches(const ScreenImage& shown);
int QuitPanelSamples();
// Nearly all of the panel shows.
bool QuitQuestionShown(const ScreenImage& shown);

// Ends the program from a game in progress as a person does: Ctrl+Q, then,
// once the question shows, Return. The exit, or nothing when the question
// did not show or the program did not end.
std::optional<ExitStatus> QuitGameInProgress(Program& program);

}  // namespace e2e
