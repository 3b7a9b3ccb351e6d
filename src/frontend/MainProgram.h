// The program: start-up in its fixed order, the loop until asked to quit,
// then the preferences saved and the engine shut down. With
// "--demo STEPS [--seed N] [--screenshot FILE.png]" it plays a scripted game
// for that many steps instead, without touching the preferences, and writes
// the last frame as a PNG.
#pragma once

int HalvaneMain(int argc, char** argv);
