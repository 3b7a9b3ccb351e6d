#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/DataUtils.h"
#include "foundation/Memory.h"
#include "support/RecordingDialogs.h"
#include "support/TestSeed.h"

namespace {

using Bytes = std::vector<UInt8>;

Bytes HandleBytes(Handle h) {
  const UInt8* p = reinterpret_cast<const UInt8*>(*h);
  return Bytes(p, p + QKGetHandleSize(h));
}

Bytes Compress(const Bytes& in) {
  Handle h = CompressData(in.data(), SInt32(in.size()));
  EXPECT_NE(h, nullptr);
  Bytes out = HandleBytes(h);
  QKDisposeHandle(h);
  return out;
}

// Expands a copy held in a vector of exactly its size, so ASan sees any read
// past the block.
bool Expand(const Bytes& packed, Bytes* out) {
  Handle h = ExpandData(packed.data(), SInt32(packed.size()));
  if (!h) return false;
  *out = HandleBytes(h);
  QKDisposeHandle(h);
  return true;
}

TEST(DataUtils, CompressedBlockLayout) {
  EXPECT_EQ(Compress({}), (Bytes{0, 0, 0, 0}));
  Bytes empty;
  ASSERT_TRUE(Expand(Bytes{0, 0, 0, 0}, &empty));
  EXPECT_TRUE(empty.empty());

  Bytes equal(300, 0x41);
  EXPECT_EQ(Compress(equal), (Bytes{0x00, 0x00, 0x01, 0x2C, 0x82, 0x41, 0x82, 0x41, 0xD3, 0x41}));

  Bytes distinct(127);
  for (int i = 0; i < 127; i++) distinct[i] = UInt8(i);
  Bytes packed = Compress(distinct);
  ASSERT_EQ(packed.size(), 4u + 1 + 127);
  EXPECT_EQ(packed[4], 126);  // one literal packet of 127 bytes
}

TEST(DataUtils, CompressThenExpandGivesTheBytesBack) {
  const TestSeed seed(12345);
  SCOPED_TRACE(seed.note);
  std::mt19937 random(seed.value);
  std::vector<Bytes> inputs = {{7}, {1, 1}, {1, 2, 2, 3}, Bytes(126, 9), Bytes(127, 9), Bytes(128, 9), Bytes(254, 0)};
  for (size_t size : {5u, 127u, 300u, 1000u, 5000u}) {
    Bytes noisy(size), runs(size);
    for (size_t i = 0; i < size; i++) {
      noisy[i] = UInt8(random());
      runs[i] = UInt8(random() % 3 == 0 ? random() : i / 5);
    }
    inputs.push_back(noisy);
    inputs.push_back(runs);
  }
  for (const Bytes& in : inputs) {
    Bytes packed = Compress(in), out;
    EXPECT_LE(packed.size(), 4 + in.size() + (in.size() + 126) / 127);
    ASSERT_TRUE(Expand(packed, &out)) << in.size();
    EXPECT_EQ(out, in);
  }
}

TEST(DataUtils, ExpandRefusesDamagedBlocks) {
  struct Case {
    const char* what;
    Bytes packed;
  } cases[] = {
      {"shorter than the length field", {0, 0, 1}},
      {"packets end before the stated length", {0, 0, 0, 10, 4, 'a', 'b', 'c', 'd', 'e'}},
      {"literal runs past the input", {0, 0, 0, 5, 4, 'a', 'b'}},
      {"run without its byte", {0, 0, 0, 5, 0xFC}},
      {"literal of 128 bytes passes its chunk",
       [] {
         Bytes b = {0, 0, 0, 200, 127};
         b.resize(b.size() + 128, 'x');
         b.push_back(0xBA);  // the 72 left: a run
         b.push_back('y');
         return b;
       }()},
      {"run passes the last chunk", {0, 0, 0, 3, 0xFB, 'z'}},
      {"only skip headers", {0, 0, 0, 1, 0x80, 0x80, 0x80}},
      {"huge length, tiny block", {0x7F, 0xFF, 0xFF, 0xFF, 0x81, 'a'}},
      {"length with the top bit set", {0xFF, 0xFF, 0xFF, 0xFF, 0x81, 'a'}},
  };
  for (const Case& c : cases) {
    Bytes out;
    EXPECT_FALSE(Expand(c.packed, &out)) << c.what;
  }
}

TEST(DataUtils, CryptMatchesTheRC4KeystreamAndUndoesItself) {
  struct Case {
    const unsigned char* key;
    std::string plain;
    Bytes expectedStart;
  } cases[] = {
      {(const unsigned char*)"\x03Key",
       std::string(32, '\0'),
       {0xEB, 0x9F, 0x77, 0x81, 0xB7, 0x34, 0xCA, 0x72, 0xA7, 0x19}},
      {(const unsigned char*)"\x06Secret",
       "Attack at dawn" + std::string(18, '.'),
       {0x45, 0xA0, 0x1F, 0x64, 0x5F, 0xC3, 0x5B, 0x38, 0x35, 0x52, 0x54, 0x4B, 0x9B, 0xF5}},
  };
  for (const Case& c : cases) {
    std::string text = c.plain;
    Crypt(text.data(), SInt32(text.size()), c.key);
    EXPECT_EQ(Bytes(text.begin(), text.begin() + c.expectedStart.size()), c.expectedStart);
    Crypt(text.data(), SInt32(text.size()), c.key);
    EXPECT_EQ(text, c.plain);
  }
  std::string text(40, 'q');
  Crypt(text.data(), 40, (const unsigned char*)"\0");
  EXPECT_EQ(text, std::string(40, 'q'));
}

TEST(DataUtils, CryptDataUsesTheCombinedKey) {
  const unsigned char* key = (const unsigned char*)"\x04pass";
  std::string plain(64, 'x'), a = plain, b = plain;
  CryptData(a.data(), 64, key);
  Crypt(b.data(), 64, key);
  EXPECT_NE(a, plain);
  EXPECT_NE(a, b);
  CryptData(a.data(), 64, key);
  EXPECT_EQ(a, plain);
  CryptData(a.data(), 64, (const unsigned char*)"\0");
  EXPECT_EQ(a, plain);
}

TEST(DataUtils, EncryptingFewerThan32BytesIsFatal) {
  RecordingDialogs dialogs;
  char text[31] = {0};
  EXPECT_THROW(Crypt(text, 31, (const unsigned char*)"\0"), FatalReport);
  EXPECT_THROW(CryptData(text, 31, (const unsigned char*)"\3abc"), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  EXPECT_EQ(dialogs.Reports()[0].message, "Can't encrypt less than 32 bytes of data.");
  EXPECT_EQ(dialogs.Reports()[0].detail, "Crypt");
}

TEST(DataUtils, ChecksumBitsAndSwaps) {
  char bytes[] = {1, 2, 3, 4, char(0xFF), char(0x80)};
  EXPECT_EQ(CalcChecksum(bytes, 6), -125);
  EXPECT_EQ(CalcChecksum(nullptr, 6), -1);

  UInt8 a5 = 0xA5;
  EXPECT_EQ(ReadBits(&a5, 4, 4), 10u);
  UInt8 zero = 0;
  SetBits(&zero, 0, 8, 1);
  EXPECT_EQ(zero, 0x80);
  UInt8 five[5] = {0x12, 0x34, 0x56, 0x78, 0x9A};
  EXPECT_EQ(ReadBits(five, 0, 40), 0x1E6A2C48u);  // 32 bits, first array bit lowest
  SetBits(five, 4, 8, 0xFF);
  EXPECT_EQ(five[0], 0x1F);
  EXPECT_EQ(five[1], 0xF4);
  EXPECT_TRUE(TestBit(five, 15) == 0);
  SetBit(five, 15);
  EXPECT_EQ(five[1], 0xF5);
  ClearBit(five, 0);
  EXPECT_EQ(five[0], 0x1F);
  ClearBit(five, 3);
  EXPECT_EQ(five[0], 0x0F);

  struct Swap {
    Bytes in, out;
  } swaps[] = {
      {{0, 1}, {0, 1}},
      {{0, 1, 2, 3}, {0, 2, 1, 3}},
      {{0, 1, 2, 3, 4, 5, 6, 7}, {0, 6, 2, 4, 3, 5, 1, 7}},
      {{0, 1, 2, 3, 4}, {0, 2, 1, 3, 4}},
  };
  for (Swap& s : swaps) {
    SwapShortBytes(s.in.data(), SInt32(s.in.size()));
    EXPECT_EQ(s.in, s.out);
  }
}

}  // namespace
