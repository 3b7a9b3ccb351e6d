// The font the engine's own interface draws its text in: the dialogs and
// the menu bar. It is the font catalogue's sans-serif face, whatever family
// the system has installed for it.
#pragma once

#include <string>

typedef struct FT_FaceRec_* FT_Face;

// Loaded once. Null when no font is installed at all; standard error then
// says so, once.
FT_Face InterfaceFont();
// A face of the catalogue (a font file and its index), loaded once per
// file and index; null when it cannot be loaded.
FT_Face CatalogueFace(const std::string& path, int index);
