#include "graphics/InterfaceFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <map>
#include <utility>

#include "graphics/TextRender.h"
#include "platform/FontCatalog.h"

FT_Face CatalogueFace(const std::string& path, int index) {
  static std::map<std::pair<std::string, int>, FT_Face> loaded;
  auto found = loaded.find({path, index});
  if (found != loaded.end()) return found->second;
  if (!fontLibrary) InitFreeType();
  FT_Face face = path.empty() ? nullptr : LoadFont(path.c_str(), index);
  // The interface's text is UTF-8; a face without a Unicode map keeps its own.
  if (face) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  loaded[{path, index}] = face;
  return face;
}

FT_Face InterfaceFont() {
  static FT_Face face = nullptr;
  static bool tried = false;
  if (tried) return face;
  tried = true;
  FontFace found;
  if (FindFontOfKind(FontKind::Sans, &found)) face = CatalogueFace(found.path, found.index);
  if (!face)
    std::fprintf(stderr,
                 "No font could be found for the text of the dialogs and the menu bar: they are shown without "
                 "it. Installing a sans-serif font (Debian's fonts-dejavu-core, for instance) brings it back.\n");
  return face;
}
