// Layout files, written by the engine's own property-list writer so that they
// are exactly what its layout loader reads: a "Frames" dictionary with one
// entry per frame in storage order, heads carrying the array sizes.
#include <cstdio>
#include <stdexcept>

#include "AssetGen.h"
#include "foundation/PlistTag.h"

namespace assetgen {

static void AddRect(PlistTag* entry, const SheetFrame& f) {
  PlistTag* bounds = entry->NewDictionary("Bounds");
  bounds->NewLong("Left", f.left);
  bounds->NewLong("Top", f.top);
  bounds->NewLong("Right", f.right);
  bounds->NewLong("Bottom", f.bottom);
}

void WriteLayout(const SheetInfo& sheet) {
  PlistTag root;
  PlistTag* frames = root.NewDictionary("Frames");
  for (const SheetFrame& f : sheet.frames) {
    PlistTag* entry = frames->NewDictionary(f.name.c_str());
    entry->NewBoolean("First In Array", f.first);
    if (f.size0) entry->NewLong("Array Size 0", f.size0);
    if (f.size1) entry->NewLong("Array Size 1", f.size1);
    AddRect(entry, f);
  }
  std::string path = OutPath("Layouts/" + sheet.name + ".plist");
  FILE* file = std::fopen(path.c_str(), "wb");
  bool ok = file && root.SaveFile(file) == 0;
  if (file) ok = std::fclose(file) == 0 && ok;
  root.DeleteChildren();
  if (!ok) throw std::runtime_error("cannot write " + path);
}

}  // namespace assetgen
