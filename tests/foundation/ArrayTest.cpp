#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Array.h"
#include "support/RecordingDialogs.h"

namespace {

std::string Text(const unsigned char* p) { return std::string((const char*)p + 1, p[0]); }

struct PString {
  Str255 p;
  explicit PString(const char* text) { CToPStr(text, p); }
  operator const unsigned char*() const { return p; }
};

template <class T>
std::vector<T> Contents(const Array<T>& array) {
  return std::vector<T>(array.elements, array.elements + array.Size());
}

template <class T>
void Fill(Array<T>& array, std::vector<T> values) {
  array.ManualInit(UInt32(values.size()));
  for (UInt32 i = 0; i < values.size(); i++) array[i] = values[i];
}

// Records its constructions (+id) and destructions (-id), and checks that it
// is built on zero-filled storage.
std::vector<int> events;
int nextId;
struct Tracked {
  int id;
  int untouched;  // never set by the constructor
  Tracked() {
    EXPECT_EQ(id, 0);
    EXPECT_EQ(untouched, 0);
    id = ++nextId;
    events.push_back(id);
  }
  ~Tracked() { events.push_back(-id); }
};

std::vector<int> Ids(const Array<Tracked>& array) {
  std::vector<int> ids;
  for (UInt32 i = 0; i < array.Size(); i++) ids.push_back(array.elements[i].id);
  return ids;
}

// A back end whose fatal reports return, to see what a container does after.
std::vector<std::pair<std::string, std::string>> returned;
void ReturningError(const unsigned char* message, const unsigned char* where, unsigned char) {
  returned.push_back({Text(message), Text(where)});
}
void ReturningAlert(const unsigned char*, const unsigned char*, const char*) {}
void ReturningShutdown() {}
const DialogBackEnd returningBackEnd = {ReturningError, ReturningAlert, ReturningShutdown};

const char kMemoryMessage[] =
    "Sorry, a memory error has occured.  Please increase the application's \"Preferred size\" requirements, and "
    "try again.";

}  // namespace

TEST(Array, NamesStayWithin31Characters) {
  struct Case {
    const char* name;
    SInt16 index;
    const char* expected;
  } cases[] = {
      {"sprite", 3, "sprite[3]"},
      {"sprite", -1, "sprite"},
      {"abcdefghijklmnopqrstuvwxyz0", 12, "abcdefghijklmnopqrstuvwxyz0[12]"},  // 27 + 4 = 31
      {"abcdefghijklmnopqrstuvwxyz01", 12, "abcdefghijklmnopqrstuvwxyz01[12"},
      {"abcdefghijklmnopqrstuvwxyz012", 12, "abcdefghijklmnopqrstuvwxyz012[]"},
      {"abcdefghijklmnopqrstuvwxyz0123", 12, "abcdefghijklmnopqrstuvwxyz0123["},  // 30: only "["
      {"abcdefghijklmnopqrstuvwxyz01234", 12, "abcdefghijklmnopqrstuvwxyz01234"},
      {"abcdefghijklmnopqrstuvwxyz012345", 1, "old[1]"},  // 32: the name is refused
  };
  for (const Case& c : cases) {
    Array<int> array(0, PString("old"));
    array.SetName(PString(c.name), c.index);
    EXPECT_EQ(Text(array.name), c.expected) << c.name;
  }
  Array<int> unnamed;
  EXPECT_EQ(Text(unnamed.name), "(unnamed)");
}

TEST(Array, PlainElementsStartZeroAndEmptyArraysOwnNothing) {
  Array<int> empty(0, PString("empty"));
  EXPECT_EQ(empty.Size(), 0u);
  EXPECT_EQ(empty.elements, nullptr);
  empty.Dispose();
  EXPECT_EQ(empty.Size(), 0u);

  Array<Rect> rects(3, PString("rects"));
  ASSERT_EQ(rects.Size(), 3u);
  for (UInt32 i = 0; i < 3; i++) EXPECT_EQ(rects[i].top | rects[i].left | rects[i].bottom | rects[i].right, 0);
  Array<unsigned char[32]> names(2, PString("names"));
  EXPECT_EQ(names[1][0], 0);
  rects.Dispose();
  EXPECT_EQ(rects.Size(), 0u);
  EXPECT_EQ(rects.elements, nullptr);
}

TEST(Array, ClassElementsAreBuiltInOrderAndDestroyedInReverse) {
  events.clear();
  nextId = 0;
  {
    Array<Tracked> pool(3, PString("_SPARK"));
    EXPECT_EQ(events, (std::vector<int>{1, 2, 3}));
    pool.ManualInit(2);
    EXPECT_EQ(events, (std::vector<int>{1, 2, 3, -3, -2, -1, 4, 5}));
    events.clear();
  }
  EXPECT_EQ(events, (std::vector<int>{-5, -4}));
}

TEST(Array, ResizeKeepsTheHeadOrTheTail) {
  struct Case {
    UInt32 count;
    unsigned char keepTail;
    std::vector<int> expected;
  } cases[] = {
      {4, 0, {1, 2, 3, 4}}, {5, 0, {1, 2, 3, 4, 0}}, {6, 1, {0, 0, 1, 2, 3, 4}},
      {2, 0, {1, 2}},       {2, 1, {3, 4}},          {0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " keepTail " << int(c.keepTail));
    Array<int> array(0, PString("numbers"));
    Fill(array, {1, 2, 3, 4});
    int* before = array.elements;
    array.Resize(c.count, c.keepTail);
    EXPECT_EQ(Contents(array), c.expected);
    if (c.count == 4) {
      EXPECT_EQ(array.elements, before);
    }
    if (c.count == 0) {
      EXPECT_EQ(array.elements, nullptr);
    }
  }
}

// Kept class elements move as they are: neither built again nor destroyed.
TEST(Array, ResizeBuildsOnlyNewAndDestroysOnlyDroppedElements) {
  events.clear();
  nextId = 0;
  Array<Tracked> displays(3, PString("displays"));
  events.clear();
  displays.Resize(2, 1);
  EXPECT_EQ(Ids(displays), (std::vector<int>{2, 3}));
  EXPECT_EQ(events, (std::vector<int>{-1}));
  events.clear();
  displays.Resize(4, 0);
  EXPECT_EQ(Ids(displays), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(events, (std::vector<int>{4, 5}));
  events.clear();
  displays.Resize(5, 1);
  EXPECT_EQ(Ids(displays), (std::vector<int>{6, 2, 3, 4, 5}));
  events.clear();
  displays.RemoveEntries(1, 2);
  EXPECT_EQ(Ids(displays), (std::vector<int>{6, 4, 5}));
  EXPECT_EQ(events, (std::vector<int>{-3, -2}));  // last to first
}

TEST(Array, RemoveEntriesTakesARangeInsideTheArray) {
  struct Case {
    UInt32 start, n;
    std::vector<int> expected;
  } cases[] = {
      {0, 1, {20, 30, 40, 50}}, {4, 1, {10, 20, 30, 40}}, {1, 3, {10, 50}}, {0, 5, {}}, {2, 0, {10, 20, 30, 40, 50}},
  };
  for (const Case& c : cases) {
    Array<int> array(0, PString("scores"));
    Fill(array, {10, 20, 30, 40, 50});
    array.RemoveEntries(c.start, c.n);
    EXPECT_EQ(Contents(array), c.expected) << c.start << "," << c.n;
  }
}

// Outside the range is a fatal report that names the array; a start or count
// near 2^32 must not wrap round into an accepted range.
TEST(Array, RemoveEntriesRefusesARangeOutsideTheArray) {
  struct Case {
    UInt32 start, n;
    const char* message;
  } cases[] = {
      {5, 1, "Can't remove 1 entries from array scores[5]."},
      {0, 0, "Can't remove 0 entries from array scores[5]."},
      {3, 3, "Can't remove 3 entries from array scores[5]."},
      {0xFFFFFFFFu, 2, "Can't remove 2 entries from array scores[5]."},
      {2, 0xFFFFFFFFu, "Can't remove 4294967295 entries from array scores[5]."},
  };
  for (const Case& c : cases) {
    RecordingDialogs dialogs;
    Array<int> array(0, PString("scores"));
    Fill(array, {10, 20, 30, 40, 50});
    EXPECT_THROW(array.RemoveEntries(c.start, c.n), FatalReport);
    ASSERT_EQ(dialogs.Reports().size(), 1u);
    EXPECT_EQ(dialogs.Reports()[0].message, c.message);
    EXPECT_EQ(dialogs.Reports()[0].detail, "");
    EXPECT_EQ(Contents(array), (std::vector<int>{10, 20, 30, 40, 50}));
  }
}

TEST(Array, CopiesAreIndependentAndUnnamed) {
  Array<Rect> rects(3, PString("hot"));
  for (SInt16 i = 0; i < 3; i++) rects[i] = Rect{i, SInt16(i + 1), SInt16(i + 2), SInt16(i + 3)};
  Array<Rect> copy(rects);
  EXPECT_EQ(Text(copy.name), "");
  ASSERT_EQ(copy.Size(), 3u);
  EXPECT_NE(copy.elements, rects.elements);
  for (UInt32 i = 0; i < 3; i++) EXPECT_EQ(memcmp(&copy[i], &rects[i], sizeof(Rect)), 0);
  copy[0].top = 99;
  EXPECT_EQ(rects[0].top, 0);

  Array<Rect> target(1, PString("target"));
  target = rects;
  EXPECT_EQ(Text(target.name), "target");
  EXPECT_EQ(target.Size(), 3u);
  EXPECT_EQ(target[2].right, 5);
  Rect* before = target.elements;
  Array<Rect>& self = target;
  target = self;
  EXPECT_EQ(target.elements, before);
  EXPECT_EQ(target.Size(), 3u);
}

// The global report comes first; should it return, the container reports
// in its own words and is left empty.
TEST(Array, RunningOutOfMemoryIsFatal) {
  typedef char Megabyte[1 << 20];
  {
    RecordingDialogs dialogs;
    EXPECT_THROW((Array<Megabyte>(0xFFFFFFFFu, PString("huge"))), FatalReport);
    ASSERT_EQ(dialogs.Reports().size(), 1u);
    EXPECT_EQ(dialogs.Reports()[0].message, kMemoryMessage);
  }
  returned.clear();
  const DialogBackEnd* previous = SetDialogBackEnd(&returningBackEnd);
  Array<Megabyte> huge(0xFFFFFFFFu, PString("huge"));
  EXPECT_EQ(huge.Size(), 0u);
  EXPECT_EQ(huge.elements, nullptr);
  Array<Megabyte> grown(1, PString("grown"));
  grown.Resize(0xFFFFFFFFu, 0);
  EXPECT_EQ(grown.Size(), 0u);
  SetDialogBackEnd(previous);
  ASSERT_EQ(returned.size(), 4u);
  EXPECT_EQ(returned[0].first, kMemoryMessage);
  EXPECT_EQ(returned[1], (std::pair<std::string, std::string>{"Out of memory, couldn't create array", "huge"}));
  EXPECT_EQ(returned[3], (std::pair<std::string, std::string>{"Out of memory, couldn't create array", "grown"}));
}

TEST(Stack, CapacityIsOneTo9999OrElseTen) {
  struct Case {
    SInt16 asked, capacity;
  } cases[] = {{0, 10}, {-5, 10}, {10000, 10}, {9999, 9999}, {1, 1}, {128, 128}};
  for (const Case& c : cases) {
    Stack<int> stack(c.asked);
    EXPECT_EQ(stack.capacity, c.capacity) << c.asked;
    EXPECT_EQ(stack.top, -1);
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.Size(), 0);
  }
}

TEST(Stack, PushPopAndTop) {
  Stack<Rect> one(1);
  Rect r{1, 2, 3, 4}, out{};
  EXPECT_TRUE(one.Push(r));
  EXPECT_TRUE(one.IsFull());
  EXPECT_FALSE(one.Push(Rect{9, 9, 9, 9}));
  EXPECT_EQ(one.Size(), 1);
  EXPECT_TRUE(one.Top(nullptr));
  EXPECT_TRUE(one.Top(&out));
  EXPECT_EQ(out.right, 4);
  out = Rect{};
  EXPECT_TRUE(one.Pop(&out));
  EXPECT_EQ(out.bottom, 3);
  EXPECT_FALSE(one.Pop(&out));
  EXPECT_FALSE(one.Top(&out));

  Stack<int> numbers(32);
  numbers.Push(1);
  numbers.Push(2);
  EXPECT_TRUE(numbers.Pop(nullptr));  // discards
  int top = 0;
  EXPECT_TRUE(numbers.Top(&top));
  EXPECT_EQ(top, 1);
  numbers.Dispose();
  EXPECT_EQ(numbers.capacity, 0);
  EXPECT_FALSE(numbers.Push(3));
  EXPECT_TRUE(numbers.IsEmpty());
  numbers.Dispose();
}

TEST(Stack, ClassElementsAndRunningOutOfMemory) {
  events.clear();
  nextId = 0;
  {
    Stack<Tracked> stack(2);
    EXPECT_EQ(events, (std::vector<int>{1, 2}));
  }
  EXPECT_EQ(events, (std::vector<int>{1, 2, -2, -1}));

  typedef char Huge[1u << 30];
  returned.clear();
  const DialogBackEnd* previous = SetDialogBackEnd(&returningBackEnd);
  {
    Stack<Huge> stack(9999);
    EXPECT_EQ(stack.capacity, 0);
    EXPECT_FALSE(stack.Pop(nullptr));
  }
  SetDialogBackEnd(previous);
  ASSERT_EQ(returned.size(), 2u);
  EXPECT_EQ(returned[1], (std::pair<std::string, std::string>{"Out of memory, couldn't create stack", ""}));
}
