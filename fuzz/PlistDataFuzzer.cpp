// The data forms: a "data" leaf's base64 text read back with and without
// packing and the cipher, the packed-block reader itself, and the
// enciphered file form. Whatever decodes must store and decode again to the
// same bytes; nothing may reach a fatal report.
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "foundation/DataUtils.h"
#include "foundation/Memory.h"
#include "foundation/PlistTag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size < 1 || size > (1 << 20)) return 0;
  const unsigned char mode = data[0];
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  const SInt32 length = SInt32(size - 1);
  const unsigned char packed = mode & 1;
  const char* cipher = (mode & 2) ? "fuzz key" : "";

  // A leaf holding the input as its text.
  PlistTag root;
  PlistTag* leaf = root.FindData("D", 1);
  leaf->data = QKNewPtr(length);
  if (length) std::memcpy(leaf->data, bytes, size_t(length));
  void* out = nullptr;
  SInt32 outLength = 0;
  if (root.GetData("D", &out, &outLength, packed, cipher) == 0) {
    std::string decoded(static_cast<const char*>(out), size_t(outLength));
    QKDisposePtr(Ptr(out));
    // Unpacked bytes under 32 cannot be enciphered; the reader would not have
    // deciphered them either.
    if (root.SetData("E", decoded.data(), SInt32(decoded.size()), packed, cipher) == 0) {
      FUZZ_CHECK(root.GetData("E", &out, &outLength, packed, cipher) == 0);
      FUZZ_CHECK(std::string(static_cast<const char*>(out), size_t(outLength)) == decoded);
      QKDisposePtr(Ptr(out));
    }
  }

  // The packed block on its own.
  if (Handle block = ExpandData(bytes, length)) {
    std::string expanded(*block, size_t(QKGetHandleSize(block)));
    QKDisposeHandle(block);
    Handle again = CompressData(expanded.data(), SInt32(expanded.size()));
    FUZZ_CHECK(again);
    Handle back = ExpandData(*again, QKGetHandleSize(again));
    FUZZ_CHECK(back && std::string(*back, size_t(QKGetHandleSize(back))) == expanded);
    QKDisposeHandle(again);
    QKDisposeHandle(back);
  }

  // The enciphered file form.
  if (FILE* file = length > 0 ? fmemopen(const_cast<char*>(bytes), size_t(length), "rb") : nullptr) {
    PlistTag tree;
    SInt16 result = tree.LoadEncryptedFile(file, (const unsigned char*)"\x08" "fuzz key");
    FUZZ_CHECK(result == 0 || (result == -1 && tree.NumChildren() == 0));
    std::fclose(file);
  }
  return 0;
}
