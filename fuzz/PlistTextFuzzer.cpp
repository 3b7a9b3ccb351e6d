// The property-list text reader: whatever it accepts, the writer writes back
// as text that reads to the same tree and saves to the same bytes; whatever
// it refuses leaves the tree empty.
#include <string>

#include "FuzzSupport.h"
#include "foundation/PlistTag.h"
#include "foundation/TextBuffer.h"

namespace {

std::string Save(PlistTag& tree) {
  TextBuffer buffer;
  tree.SaveBuffer(&buffer);
  return std::string(reinterpret_cast<const char*>(buffer.Start()), size_t(buffer.DataSize()));
}

SInt16 Load(PlistTag& tree, const void* bytes, size_t size) {
  TextBuffer buffer;
  buffer.LoadData(static_cast<const char*>(bytes), SInt32(size));
  return tree.LoadBuffer(&buffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > (1 << 20)) return 0;
  PlistTag tree;
  SInt16 result = Load(tree, data, size);
  FUZZ_CHECK(result == 0 || result == -1);
  if (result != 0) {
    FUZZ_CHECK(tree.NumChildren() == 0);
    return 0;
  }
  std::string saved = Save(tree);
  PlistTag again;
  FUZZ_CHECK(Load(again, saved.data(), saved.size()) == 0);
  FUZZ_CHECK(Save(again) == saved);
  PlistTag copy;
  tree.CopyTo(&copy);
  FUZZ_CHECK(Save(copy) == saved);
  PlistTag merged;
  tree.AddTo(&merged);
  tree.Cleanup();
  return 0;
}
