// The two faces the game loads, copied unchanged from Debian font packages
// under the names the game asks for, each with its licence beside it.
#include <filesystem>

#include "AssetGen.h"

namespace assetgen {

namespace {
struct BundledFont {
  Face face;
  const char* source;   // Debian package file
  const char* licence;  // the package's copyright file
  const char* name;     // name under Resources/Fonts
};

const BundledFont kFonts[] = {
    {Face::Rounded, "/usr/share/fonts/truetype/comfortaa/Comfortaa-Bold.ttf",
     "/usr/share/doc/fonts-comfortaa/copyright", "VAG Rounded BT"},
    {Face::Engraved, "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf",
     "/usr/share/doc/fonts-league-spartan/copyright", "Copperplate Gothic Bold"},
};
}  // namespace

std::string FontFile(Face face) {
  for (const BundledFont& f : kFonts)
    if (f.face == face) return f.source;
  return {};
}

void AddFontJobs(std::vector<Job>& jobs) {
  jobs.push_back([] {
    namespace fs = std::filesystem;
    for (const BundledFont& f : kFonts) {
      std::string name = f.name;
      fs::copy_file(f.source, OutPath("Fonts/" + name + ".ttf"), fs::copy_options::overwrite_existing);
      fs::copy_file(f.licence, OutPath("Fonts/" + name + " License.txt"), fs::copy_options::overwrite_existing);
    }
  });
}

}  // namespace assetgen
