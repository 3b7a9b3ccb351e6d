// The system's fonts, found by family name: the fonts installed for every
// program, plus folders of fonts added for this process alone.
#pragma once

#include <string>

// What a font stands for when a program names a face by its kind rather
// than by a family that may not be installed.
enum class FontKind { Sans, BoldSans, Monospace };

struct FontFace {
  std::string family;  // the family as the font file names it
  std::string path;    // the font file
  int index = 0;       // the face's index in the file (collections hold more)
};

// Adds every font of a folder and its subfolders for this process; only
// regular files are opened (a named pipe or a device there is passed over).
// False when the folder cannot be read.
bool AddProcessFontFolder(const std::string& folder);
// The regular face of an installed family, the name compared without regard
// to case; a font file of an added folder is also found by its file name
// without the extension. False when there is none.
bool FindFontFamily(const std::string& name, FontFace* face);
// The installed face that best stands for the kind (the system's own
// choice of sans-serif or monospace); false when no font is installed.
bool FindFontOfKind(FontKind kind, FontFace* face);
