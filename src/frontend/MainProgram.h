// The program: start-up in its fixed order, the loop until asked to quit,
// then the preferences saved and the engine shut down. With
// "--demo STEPS [--seed N] [--screenshot FILE.png]" it plays a scripted game
// for that many steps instead, without touching the preferences, and writes
// the last frame as a PNG.
#pragma once

int HalvaneMain(int argc, char** argv);

// The older program entry, which the program does not use: sets up the
// screen, fades in, shows the instruction pages on the first play, then
// waits while another application is in front. Returns applQUIT.
int MainProgram();

// Puts the front end's run-time state back as the program starts: every
// screen closed, no control selected or pressed, no score-drawing procedure,
// the score table's document empty and its updates forgotten. For tests, as
// ResetGameObjects is for the game and ResetShellState for the shell.
void ResetFrontEndState();
