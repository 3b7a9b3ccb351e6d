#include "platform/FontCatalog.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

namespace {

std::vector<std::string> processFolders;

// Enough for any bundle; a folder tree deeper or wider than this is hostile.
constexpr size_t kMostFontFolders = 256;

bool Ready() {
  static const bool ready = FcInit() == FcTrue;
  return ready;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return s;
}

bool Read(FcPattern* pattern, FontFace* face) {
  FcChar8* family = nullptr;
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(pattern, FC_FILE, 0, &file) != FcResultMatch) return false;
  if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) != FcResultMatch) family = nullptr;
  FcPatternGetInteger(pattern, FC_INDEX, 0, &index);
  face->family = family ? reinterpret_cast<const char*>(family) : "";
  face->path = reinterpret_cast<const char*>(file);
  face->index = index;
  return true;
}

// The stem of a file name: no folder, no extension.
std::string Stem(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool InProcessFolder(const std::string& path) {
  for (const std::string& folder : processFolders)
    if (path.compare(0, folder.size(), folder) == 0) return true;
  return false;
}

// Of the faces listed, the one nearest a regular upright face.
struct Candidate {
  FontFace face;
  int distance;
};

int Distance(FcPattern* pattern) {
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN, width = FC_WIDTH_NORMAL;
  FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
  FcPatternGetInteger(pattern, FC_WIDTH, 0, &width);
  return std::abs(weight - FC_WEIGHT_REGULAR) + 4 * std::abs(slant - FC_SLANT_ROMAN) +
         2 * std::abs(width - FC_WIDTH_NORMAL);
}

}  // namespace

bool AddProcessFontFolder(const std::string& folder) {
  if (!Ready()) return false;
  // fontconfig would open every entry it finds, and a named pipe or a device
  // there blocks the open for good: it is handed the regular files alone,
  // one by one, from the folder and its subfolders (links followed to what
  // they name, each folder once).
  namespace fs = std::filesystem;
  std::error_code error;
  if (!fs::is_directory(folder, error)) return false;
  std::vector<fs::path> pending{fs::path(folder)};
  std::set<std::string> seen{fs::weakly_canonical(folder, error).string()};
  std::vector<std::string> files;
  while (!pending.empty()) {
    fs::path at = pending.back();
    pending.pop_back();
    fs::directory_iterator entries(at, error);
    if (error) {
      if (at == fs::path(folder)) return false;
      continue;
    }
    for (const fs::directory_entry& entry : entries) {
      fs::file_status status = entry.status(error);
      if (error) continue;
      if (fs::is_regular_file(status)) {
        files.push_back(entry.path().string());
      } else if (fs::is_directory(status) && seen.size() < kMostFontFolders) {
        std::string real = fs::canonical(entry.path(), error).string();
        if (!error && seen.insert(real).second) pending.push_back(entry.path());
      }
    }
  }
  std::sort(files.begin(), files.end());
  for (const std::string& file : files) FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file.c_str()));
  std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  if (std::find(processFolders.begin(), processFolders.end(), prefix) == processFolders.end())
    processFolders.push_back(prefix);
  return true;
}

bool FindFontFamily(const std::string& name, FontFace* face) {
  if (!Ready() || name.empty() || !face) return false;
  FcPattern* all = FcPatternCreate();
  FcObjectSet* fields = FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, all, fields);
  FcObjectSetDestroy(fields);
  FcPatternDestroy(all);
  if (!fonts) return false;
  const std::string wanted = Lower(name);
  bool found = false;
  Candidate best{{}, 0};
  for (int i = 0; i < fonts->nfont; ++i) {
    FcPattern* p = fonts->fonts[i];
    FontFace f;
    if (!Read(p, &f)) continue;
    // A font names its family in several languages; any of them will do.
    bool named = false;
    FcChar8* family = nullptr;
    for (int n = 0; !named && FcPatternGetString(p, FC_FAMILY, n, &family) == FcResultMatch; ++n)
      if (Lower(reinterpret_cast<const char*>(family)) == wanted) {
        named = true;
        f.family = reinterpret_cast<const char*>(family);
      }
    if (!named && InProcessFolder(f.path) && Lower(Stem(f.path)) == wanted) named = true;
    if (!named) continue;
    const int d = Distance(p);
    // Ties go to the lower path, so that the answer is the same on every run.
    if (!found || d < best.distance || (d == best.distance && f.path < best.face.path)) best = Candidate{f, d};
    found = true;
  }
  FcFontSetDestroy(fonts);
  if (found) *face = best.face;
  return found;
}

bool FindFontOfKind(FontKind kind, FontFace* face) {
  if (!Ready() || !face) return false;
  const char* family = kind == FontKind::Monospace ? "monospace" : "sans-serif";
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddInteger(pattern, FC_WEIGHT, kind == FontKind::BoldSans ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  // Only outline fonts: the pixmap text and the GL text scale their glyphs.
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  const bool ok = Read(match, face);
  FcPatternDestroy(match);
  return ok;
}
