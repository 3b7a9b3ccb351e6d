#include <gtest/gtest.h>

#include <cstring>

#include "sound/SoundHeaderUtilities.h"
#include "support/RecordingDialogs.h"

namespace {

// A format-1 resource with one modifier and two commands before the header.
struct Resource {
  unsigned char bytes[6 + 6 + 16 + 64 + 32] = {};
  Resource(unsigned char encode) {
    SInt16 one = 1, two = 2;
    std::memcpy(bytes + 2, &one, 2);
    std::memcpy(bytes + 10, &two, 2);
    Header()->bytes[20] = encode;
  }
  SndListResource* List() { return reinterpret_cast<SndListResource*>(bytes); }
  SoundHeader* Header() { return reinterpret_cast<SoundHeader*>(bytes + 28); }
};

TEST(PlatformSoundHeaders, TheHeaderIsFoundBehindModifiersAndCommands) {
  Resource r(255);
  EXPECT_EQ(GetSoundHeader(r.List()), r.Header());
}

TEST(PlatformSoundHeaders, ExtendedAndStandardForms) {
  Resource ext(255), std_(0);
  SetSoundNumChannels(ext.List(), 2);
  SetSoundSampleSize(ext.List(), 16);
  SetSoundNumSamples(ext.List(), 1000);
  SetSoundSampleRate(ext.List(), 22050u << 16);
  EXPECT_EQ(GetSoundNumFrames(ext.List()), 500u);
  EXPECT_EQ(GetSoundNumSamples(ext.List()), 1000u);
  EXPECT_EQ(GetSoundSampleLengthInBytes(ext.List()), 2000u);
  EXPECT_EQ(GetSoundSampleRate(ext.List()), 22050u << 16);
  EXPECT_EQ(GetSoundHeaderLength(ext.Header()), 64);
  EXPECT_EQ(static_cast<unsigned char*>(GetSoundSamples(ext.List())) - ext.Header()->bytes, 64);
  SetSoundSampleLengthInBytes(ext.List(), 400);
  EXPECT_EQ(GetSoundNumFrames(ext.List()), 100u);

  SetSoundNumChannels(std_.List(), 2);
  SetSoundSampleSize(std_.List(), 16);
  SetSoundNumFrames(std_.List(), 300);
  EXPECT_EQ(GetSoundNumChannels(std_.List()), 1u);
  EXPECT_EQ(GetSoundSampleSize(std_.List()), 8);
  EXPECT_EQ(GetSoundNumFrames(std_.List()), 300u);
  EXPECT_EQ(GetSoundHeaderLength(std_.Header()), 22);
  EXPECT_EQ(GetSoundSampleLengthInBytes(std_.List()), 300u);
  EXPECT_EQ(GetSoundHeaderSampleRate(nullptr), 0u);
  EXPECT_NE(SoundManagerVersion(), 0u);
}

TEST(PlatformSoundHeaders, CompressedAndUnknownFormsAreFatal) {
  struct Case {
    unsigned char encode;
    const char* message;
  } cases[] = {{254, "Compressed sound header format unsupported."}, {7, "Unknown sound header format!"}};
  for (const Case& k : cases) {
    RecordingDialogs dialogs;
    Resource r(k.encode);
    EXPECT_THROW(GetSoundNumFrames(r.List()), FatalReport);
    ASSERT_FALSE(dialogs.Reports().empty());
    EXPECT_EQ(dialogs.Reports()[0].message, k.message);
    EXPECT_TRUE(dialogs.Reports()[0].fatal);
  }
}

}  // namespace
