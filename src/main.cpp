// Halvane's entry point.
#include "frontend/MainProgram.h"

int main(int argc, char** argv) { return HalvaneMain(argc, argv); }
