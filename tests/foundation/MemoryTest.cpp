#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/Memory.h"
#include "support/RecordingDialogs.h"

// Huge requests must fail with null under the address sanitizer too, as
// they do with the plain allocator.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

struct Plain {
  int a;
  double b;
  char text[200];
};

struct alignas(64) Aligned {
  char bytes[300];
};

bool AllZero(const void* p, size_t n) {
  const unsigned char* bytes = static_cast<const unsigned char*>(p);
  for (size_t i = 0; i < n; i++)
    if (bytes[i]) return false;
  return true;
}

// Dirties a heap block of the size that new is about to ask for, so a
// recycled block would show its old bytes.
void DirtyHeap(size_t size) {
  void* p = malloc(size);
  memset(p, 0xAB, size);
  free(p);
}

}  // namespace

TEST(GlobalAllocation, EveryFormZeroFills) {
  DirtyHeap(sizeof(Plain));
  Plain* object = new Plain;
  EXPECT_TRUE(AllZero(object, sizeof *object));
  delete object;

  DirtyHeap(500);
  char* bytes = new char[500];
  EXPECT_TRUE(AllZero(bytes, 500));
  delete[] bytes;

  DirtyHeap(sizeof(Plain));
  Plain* quiet = new (std::nothrow) Plain;
  ASSERT_NE(quiet, nullptr);
  EXPECT_TRUE(AllZero(quiet, sizeof *quiet));
  delete quiet;

  Aligned* aligned = new Aligned[3];
  EXPECT_EQ(reinterpret_cast<uintptr_t>(aligned) % 64, 0u);
  EXPECT_TRUE(AllZero(aligned, 3 * sizeof(Aligned)));
  delete[] aligned;

  void* empty = ::operator new(0);
  EXPECT_NE(empty, nullptr);
  ::operator delete(empty);
}

// An allocation whose result goes unused may be dropped by the optimiser:
// the tests keep theirs here.
static void* volatile kept;

TEST(GlobalAllocation, ExhaustionIsTheFatalMemoryReport) {
  RecordingDialogs dialogs;
  size_t huge = SIZE_MAX / 2;
  EXPECT_THROW(kept = ::operator new(huge), FatalReport);
  EXPECT_THROW(kept = ::operator new[](huge, std::align_val_t(64)), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 2u);
  for (const DialogReport& r : dialogs.Reports()) {
    EXPECT_EQ(r.message,
              "Sorry, a memory error has occured.  Please increase the application's \"Preferred size\" "
              "requirements, and try again.");
    EXPECT_EQ(r.detail, "");
    EXPECT_TRUE(r.fatal);
  }
}

namespace {

void ReturningError(const unsigned char*, const unsigned char*, unsigned char) {}
void ReturningAlert(const unsigned char*, const unsigned char*, const char*) {}
void ReturningShutdown() {}
const DialogBackEnd returningBackEnd = {ReturningError, ReturningAlert, ReturningShutdown};

}  // namespace

// Should a fatal report ever return, new must still not hand back null.
TEST(GlobalAllocation, AReturningReportMakesNewThrowNotReturnNull) {
  const DialogBackEnd* previous = SetDialogBackEnd(&returningBackEnd);
  EXPECT_THROW(kept = ::operator new(SIZE_MAX / 2), std::bad_alloc);
  EXPECT_EQ(::operator new(SIZE_MAX / 2, std::nothrow), nullptr);
  SetDialogBackEnd(previous);
}

TEST(MemoryManager, PointersRecordTheirSizes) {
  Ptr p = QKNewPtr(-1);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(QKMemError(), memFullErr);

  p = QKNewPtr(0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(QKMemError(), noErr);
  EXPECT_EQ(QKGetPtrSize(p), 0);
  QKDisposePtr(p);
  EXPECT_EQ(QKMemError(), noErr);

  Ptr cleared = QKNewPtrClear(64);
  ASSERT_NE(cleared, nullptr);
  EXPECT_TRUE(AllZero(cleared, 64));
  EXPECT_EQ(QKGetPtrSize(cleared), 64);

  QKSetPtrSize(cleared, 65);
  EXPECT_EQ(QKMemError(), memWZErr);
  EXPECT_EQ(QKGetPtrSize(cleared), 64);
  QKSetPtrSize(cleared, -1);
  EXPECT_EQ(QKMemError(), memSCErr);
  QKSetPtrSize(cleared, 0);
  EXPECT_EQ(QKMemError(), noErr);
  EXPECT_EQ(QKGetPtrSize(cleared), 0);
  QKDisposePtr(cleared);

  Ptr foreign = static_cast<Ptr>(malloc(16));
  QKDisposePtr(foreign);
  EXPECT_EQ(QKMemError(), memWZErr);
  EXPECT_EQ(QKGetPtrSize(foreign), memWZErr);
  QKDisposePtr(nullptr);
  EXPECT_EQ(QKMemError(), memWZErr);
  free(foreign);  // still ours: the manager did not free it
}

TEST(MemoryManager, HandlesHoldAWholePointerAndTrackLocks) {
  Handle h = QKNewHandle(10);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(QKGetPtrSize(Ptr(h)), SInt32(sizeof(Ptr)));
  EXPECT_EQ(QKGetHandleSize(h), 10);
  ASSERT_NE(FindMaster(*h), nullptr);
  EXPECT_EQ(FindMaster(*h)->handle, h);
  EXPECT_EQ(QKRecoverHandle(*h), h);
  EXPECT_EQ(QKRecoverHandle(Ptr(h)), nullptr);
  EXPECT_EQ(QKMemError(), memBCErr);

  QKHLock(h);
  QKHLock(h);
  QKHUnlock(h);
  QKSetHandleSize(h, 20);
  EXPECT_EQ(QKMemError(), memFullErr);
  EXPECT_EQ(QKGetHandleSize(h), 10);
  EXPECT_EQ(QKHGetState(h), -128);
  QKHSetState(h, QKHGetState(h));
  EXPECT_EQ(QKHGetState(h), -128);
  QKHUnlock(h);
  EXPECT_EQ(QKHGetState(h), 0);
  QKHSetState(h, QKHGetState(h));
  EXPECT_EQ(QKHGetState(h), 0);
  QKHUnlock(h);
  QKSetHandleSize(h, 20);
  EXPECT_EQ(QKMemError(), noErr);
  EXPECT_EQ(QKGetHandleSize(h), 20);
  EXPECT_EQ(QKRecoverHandle(*h), h);

  QKHSetState(h, -128);
  QKHSetState(h, -128);
  QKHUnlock(h);
  EXPECT_EQ(QKHGetState(h), 0);  // a set state locks once, not twice

  QKSetHandleSize(h, 0);
  EXPECT_EQ(QKMemError(), noErr);
  EXPECT_EQ(QKGetHandleSize(h), 0);

  QKDisposeHandle(h);
  EXPECT_EQ(QKMemError(), noErr);
}

TEST(MemoryManager, PtrAndHandAndHandToHandCopyBytes) {
  Handle h = QKNewHandleClear(10);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(AllZero(*h, 10));
  const char extra[5] = {1, 2, 3, 4, 5};
  EXPECT_EQ(QKPtrAndHand(extra, h, 5), noErr);
  EXPECT_EQ(QKGetHandleSize(h), 15);
  EXPECT_EQ(memcmp(*h + 10, extra, 5), 0);
  EXPECT_EQ(QKPtrAndHand(extra, h, -1), memFullErr);
  EXPECT_EQ(QKGetHandleSize(h), 15);

  Handle copy = h;
  EXPECT_EQ(QKHandToHand(&copy), noErr);
  ASSERT_NE(copy, h);
  EXPECT_EQ(QKGetHandleSize(copy), 15);
  EXPECT_EQ(memcmp(*copy, *h, 15), 0);

  QKHLock(h);
  EXPECT_EQ(QKPtrAndHand(extra, h, 5), memFullErr);
  QKHUnlock(h);

  Handle empty = QKNewHandle(0);
  Handle emptyCopy = empty;
  EXPECT_EQ(QKHandToHand(&emptyCopy), memWZErr);
  EXPECT_EQ(emptyCopy, empty);

  QKDisposeHandle(copy);
  QKDisposeHandle(h);
  QKDisposeHandle(empty);
}

// Anything that is not a live handle is refused and changes nothing,
// including a stray pointer that was never a block of the manager.
TEST(MemoryManager, NonHandlesAreRefused) {
  Ptr block = QKNewPtr(sizeof(Ptr));
  Handle disposed = QKNewHandle(4);
  Ptr disposedData = *disposed;
  QKDisposeHandle(disposed);
  Ptr stray[1] = {block};
  Handle fakes[] = {nullptr, Handle(block), disposed, stray};
  for (Handle fake : fakes) {
    SCOPED_TRACE(testing::Message() << "handle " << static_cast<void*>(fake));
    EXPECT_EQ(QKGetHandleSize(fake), memWZErr);
    QKSetHandleSize(fake, 8);
    EXPECT_EQ(QKMemError(), memWZErr);
    QKHLock(fake);
    EXPECT_EQ(QKMemError(), memWZErr);
    QKHUnlock(fake);
    EXPECT_EQ(QKMemError(), memWZErr);
    EXPECT_EQ(QKHGetState(fake), SInt8(memWZErr));
    QKHSetState(fake, 0);
    EXPECT_EQ(QKMemError(), memWZErr);
    QKMoveHHi(fake);
    EXPECT_EQ(QKMemError(), memWZErr);
    QKDisposeHandle(fake);
    EXPECT_EQ(QKMemError(), memWZErr);
    EXPECT_EQ(QKPtrAndHand("x", fake, 1), memWZErr);
    Handle copy = fake;
    EXPECT_EQ(QKHandToHand(&copy), memFullErr);
    EXPECT_EQ(copy, fake);
  }
  EXPECT_EQ(QKHandToHand(nullptr), memFullErr);
  EXPECT_EQ(FindMaster(disposedData), nullptr);
  QKDisposePtr(block);
}

TEST(BlockUtilities, MoveZeroAndSafeDispose) {
  char text[] = "abcdefgh";
  BlockMove(text, text + 2, 4);
  EXPECT_STREQ(text, "ababcdgh");
  BlockMoveData(text + 2, text, 0);
  BlockMove(text + 2, text, -3);
  EXPECT_STREQ(text, "ababcdgh");
  BlockZero(text + 6, 2);
  BlockZero(text, -1);
  EXPECT_STREQ(text, "ababcd");

  Ptr p = NewPtr(8);
  DisposePtr_Safe(&p);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(MemError(), noErr);
  DisposePtr_Safe(&p);  // already null: nothing happens

  RecordingDialogs dialogs;
  EXPECT_THROW(DisposePtr_Safe(nullptr), FatalReport);
  ASSERT_EQ(dialogs.Reports().size(), 1u);
  EXPECT_EQ(dialogs.Reports()[0].message, "Tried to pass nil to DisposePtr_Safe()!");
  EXPECT_EQ(dialogs.Reports()[0].detail, "");
}
