#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "foundation/Frameworks.h"
#include "platform/PlatformSystem.h"

namespace {

int Answer() { return 42; }

TEST(Frameworks, KnownFrameworksLoadAndLookUpRegisteredFunctions) {
  CFBundleRef bundle = nullptr;
  for (const char* name : {"Carbon.framework", "ApplicationServices.framework", "CoreAudio.framework"}) {
    EXPECT_EQ(LoadFrameworkBundle(name, &bundle), noErr) << name;
    EXPECT_NE(bundle, nullptr);
  }
  ASSERT_EQ(LoadFrameworkBundle("Carbon.framework", &bundle), noErr);
  EXPECT_EQ(CFBundleGetFunctionPointerForName(bundle, "SetSystemUIMode"), nullptr);
  RegisterFrameworkFunction("Carbon.framework", "SetSystemUIMode", reinterpret_cast<void*>(Answer));
  auto function = reinterpret_cast<int (*)()>(CFBundleGetFunctionPointerForName(bundle, "SetSystemUIMode"));
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(function(), 42);
  RegisterFrameworkFunction("Carbon.framework", "SetSystemUIMode", nullptr);
  EXPECT_EQ(CFBundleGetFunctionPointerForName(bundle, "SetSystemUIMode"), nullptr);
  EXPECT_EQ(CFBundleGetFunctionPointerForName(nullptr, "SetSystemUIMode"), nullptr);
}

TEST(Frameworks, AnUnknownFrameworkFailsAndLeavesTheBundleNull) {
  CFBundleRef bundle = reinterpret_cast<CFBundleRef>(&bundle);
  EXPECT_EQ(LoadFrameworkBundle("NoSuch.framework", &bundle), -4960);
  EXPECT_EQ(bundle, nullptr);
  bundle = reinterpret_cast<CFBundleRef>(&bundle);
  EXPECT_EQ(LoadFrameworkBundle(nullptr, &bundle), -4960);
  EXPECT_EQ(bundle, nullptr);
}

int queries = 0;
int CountingReader(const char*, void*, size_t*) {
  queries++;
  errno = ENOENT;
  return -1;
}

TEST(SystemProbes, TheEmulationTestAsksOnceAndFindsANativeProgram) {
  SetSystemValueReader(CountingReader);
  EXPECT_EQ(is_pid_native(0), 1);  // no such entry: an older, untranslated system
  queries = 0;
  EXPECT_FALSE(InRosetta());
  EXPECT_FALSE(InRosetta());
  EXPECT_EQ(queries, 1);
  SetSystemValueReader(nullptr);
}

TEST(SystemProbes, SystemValuesAreReadNeverWritten) {
  int value = -1;
  size_t size = sizeof value;
  errno = 0;
  EXPECT_EQ(sysctlbyname_with_pid("sysctl.proc_native", 0, &value, &size, nullptr, 0), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(sysctlbyname_with_pid("kernel.pid_max", 0, &value, &size, nullptr, 0), 0);
  EXPECT_GT(value, 0);
  char text[64] = {0};
  size = sizeof text - 1;
  ASSERT_EQ(sysctlbyname_with_pid("kernel.ostype", 0, text, &size, nullptr, 0), 0);
  EXPECT_EQ(std::string(text, 5), "Linux");
  EXPECT_EQ(sysctlbyname_with_pid("kernel.pid_max", 0, &value, &size, &value, sizeof value), -1);
  EXPECT_EQ(errno, EPERM);
  EXPECT_EQ(sysctlbyname_with_pid("kernel.pid_max", 1234, &value, &size, nullptr, 0), -1);
  EXPECT_EQ(sysctlbyname_with_pid("../../etc/passwd", 0, text, &size, nullptr, 0), -1);
  EXPECT_EQ(FindRunningAppBySignature('APPL', 'HLVN', nullptr, nullptr), -600);
}

TEST(SystemProbes, KernelReleasesPackLikeSystemVersions) {
  const struct {
    const char* release;
    bool ok;
    SInt32 packed;
  } cases[] = {{"6.1.0-13-amd64", true, 0x0610}, {"5.15.133", true, 0x0599}, {"10.4.5", true, 0x1045},
               {"4.19", true, 0x0490},           {"six", false, 0},          {"", false, 0}};
  for (auto c : cases) {
    SInt32 packed = 0;
    EXPECT_EQ(PackSystemVersion(c.release, &packed), c.ok) << c.release;
    if (c.ok) {
      EXPECT_EQ(packed, c.packed) << c.release;
    }
  }
}

TEST(SystemProbes, DateInitializerAndSmallServices) {
  CheckMainDate();
  EXPECT_GE(mainDATE.year, 2024);
  EXPECT_GE(mainDATE.month, 1);
  EXPECT_LE(mainDATE.month, 12);
  EXPECT_GE(mainDATE.dayOfWeek, 1);
  EXPECT_LE(mainDATE.dayOfWeek, 7);

  char block[8];
  memset(block, 'x', sizeof block);
  Initializer zero(block, 6);
  EXPECT_EQ(std::string(block, 8), std::string(6, '\0') + "xx");

  EXPECT_EQ(InitBSD(), noErr);
  EXPECT_EQ(bsdLoaded, 1);

  static int arrows = 0;
  SetApplCursorBackEnd([] { arrows++; });
  SetApplCursor();
  EXPECT_EQ(arrows, 1);
  SetApplCursorBackEnd(nullptr);
  SetApplCursor();
  EXPECT_EQ(arrows, 1);
}

}  // namespace

TEST(CoordInRgnTest, PointsAgainstARegion) {
  RgnHandle region = NewRgn();
  Rect r{0, 0, 10, 20};
  RectRgn(region, &r);
  EXPECT_TRUE(CoordInRgn(0, 0, region));
  EXPECT_TRUE(CoordInRgn(19, 9, region));
  EXPECT_FALSE(CoordInRgn(20, 9, region));
  EXPECT_FALSE(CoordInRgn(-1, 5, region));
  DisposeRgn(region);
}
