#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "foundation/Atomic.h"
#include "foundation/HashTable.h"

namespace {

struct Item {
  Item* prev;
  Item* next;
  UInt32 key;
};

UInt32 KeyHash(const Item* item, void*) { return item->key; }
unsigned char SameKey(const Item* a, const Item* b, void*) { return a->key == b->key; }

typedef HashTableTemplate<Item> Table;

const unsigned char kName[] = "\x0apixmapLIST";

// The bucket of a key, worked out in 64 bits and reduced by hand.
UInt32 BucketOfKey(UInt32 key, UInt32 buckets) {
  UInt64 value = (UInt64(key) * 16777259u + 10000019u) % 4294967296u;
  return UInt32(value % buckets);
}

}  // namespace

TEST(HashTable, PrimesSizeTheTable) {
  struct PrimeCase {
    UInt32 n;
    bool prime;
  } primes[] = {{0, false},  {1, false},  {2, true},   {3, true},     {4, false},          {9, false},
                {25, false}, {49, false}, {257, true}, {65537, true}, {4294967291u, true}, {4294967295u, false}};
  for (const PrimeCase& c : primes) EXPECT_EQ(IsPrime(c.n), c.prime) << c.n;

  struct FindCase {
    UInt32 n, prime;
  } finds[] = {{0, 2},
               {1, 2},
               {2, 2},
               {3, 3},
               {8, 11},
               {9, 11},
               {257, 257},
               {258, 263},
               {4294967291u, 4294967291u},
               // Past the largest 32-bit prime the search would wrap round to a
               // tiny number; it answers that prime instead.
               {4294967292u, 4294967291u},
               {4294967295u, 4294967291u}};
  for (const FindCase& c : finds) EXPECT_EQ(FindPrime(c.n), c.prime) << c.n;
}

TEST(HashTable, BucketCountsAndNames) {
  struct Case {
    SInt32 asked;
    UInt32 buckets;
  } cases[] = {{257, 257}, {1, 1}, {8, 11}, {0, 2}, {2, 2}, {-5, 2}};
  for (const Case& c : cases) {
    Table table(KeyHash, nullptr, nullptr, nullptr, c.asked, 0, kName);
    EXPECT_EQ(table.Length(), c.buckets) << c.asked;
    EXPECT_EQ(table.entryCount, 0u);
    EXPECT_EQ(std::string((const char*)table.name + 1, table.name[0]), "pixmapLIST");
  }
  Table longName(KeyHash, nullptr, nullptr, nullptr, 3, 0,
                 (const unsigned char*)"\x20" "abcdefghijklmnopqrstuvwxyz012345");
  EXPECT_EQ(longName.name[0], 0);  // over 31 characters: refused
}

TEST(HashTable, AddFindRemove) {
  Item a{nullptr, nullptr, 1}, b{nullptr, nullptr, 2}, c{nullptr, nullptr, 258}, other{nullptr, nullptr, 99};
  Table table(KeyHash, nullptr, nullptr, nullptr, 257, 0, kName);
  EXPECT_TRUE(table.Add(&a));
  EXPECT_TRUE(table.Add(&b));
  EXPECT_TRUE(table.Add(&c));
  EXPECT_FALSE(table.Add(&a));  // no duplicates
  EXPECT_EQ(table.entryCount, 3u);
  EXPECT_TRUE(table.Contains(&b));
  EXPECT_EQ(table.Find(&c), &c);
  EXPECT_FALSE(table.Contains(&other));
  EXPECT_FALSE(table.Remove(&other));
  EXPECT_TRUE(table.Remove(&b));
  EXPECT_FALSE(table.Contains(&b));
  EXPECT_EQ(table.entryCount, 2u);

  Table duplicates(KeyHash, nullptr, nullptr, nullptr, 7, 1, kName);
  Item d{nullptr, nullptr, 5};
  EXPECT_TRUE(duplicates.Add(&d));
  EXPECT_EQ(duplicates.entryCount, 1u);
}

// With a comparison, equal keys are the same entry; removing by an equal
// item that is not itself in the table takes out the one that is.
TEST(HashTable, ComparisonFindsEqualItems) {
  Item a{nullptr, nullptr, 7}, b{nullptr, nullptr, 8}, sameAsA{nullptr, nullptr, 7};
  Table table(KeyHash, nullptr, SameKey, nullptr, 3, 0, kName);
  table.Add(&a);
  table.Add(&b);
  EXPECT_FALSE(table.Add(&sameAsA));
  EXPECT_EQ(table.Find(&sameAsA), &a);
  EXPECT_TRUE(table.Remove(&sameAsA));
  EXPECT_EQ(table.entryCount, 1u);
  EXPECT_FALSE(table.Contains(&a));
  EXPECT_EQ(table.First(), &b);
  EXPECT_EQ(b.prev, nullptr);
  EXPECT_EQ(b.next, nullptr);
}

TEST(HashTable, WalkVisitsBucketsInOrderNewestFirst) {
  const UInt32 buckets = 5;
  std::vector<Item> items(12);
  Table table(KeyHash, nullptr, nullptr, nullptr, buckets, 0, kName);
  for (UInt32 i = 0; i < items.size(); i++) {
    items[i].key = i * 7;
    table.Add(&items[i]);
  }
  std::vector<const Item*> expected;
  for (UInt32 bucket = 0; bucket < buckets; bucket++)
    for (UInt32 i = UInt32(items.size()); i-- > 0;)
      if (BucketOfKey(items[i].key, buckets) == bucket) expected.push_back(&items[i]);
  std::vector<const Item*> walked;
  for (Item* item = table.First(); item; item = table.Next(item)) walked.push_back(item);
  EXPECT_EQ(walked, expected);

  // Initialize empties the table without touching the items and keeps the
  // comparison.
  table.SetCompProc(SameKey, &items);
  EXPECT_TRUE(table.Initialize(1));
  EXPECT_EQ(table.Length(), 1u);
  EXPECT_EQ(table.entryCount, 0u);
  EXPECT_EQ(table.First(), nullptr);
  void* refCon = nullptr;
  EXPECT_EQ(table.buckets[0].GetSearchProc(&refCon), SameKey);
  EXPECT_EQ(refCon, &items);
  EXPECT_EQ(items[3].key, 21u);
}

TEST(AtomicList, PendingItemIsSteppedOver) {
  Item a{nullptr, nullptr, 1}, b{nullptr, nullptr, 2}, c{nullptr, nullptr, 3};
  AtomicListTemplate<Item> list;
  list.AddFirst(&c);
  list.AddFirst(&b);
  list.AddFirst(&a);
  EXPECT_EQ(list.count, 3u);
  list.pending = &a;
  EXPECT_EQ(list.First(), &b);
  list.pending = &b;
  EXPECT_EQ(list.Next(&a), &c);
  list.pending = nullptr;
  list.Remove(&b);
  EXPECT_EQ(a.next, &c);
  EXPECT_EQ(c.prev, &a);
  EXPECT_EQ(list.RemoveLast(), &c);
  EXPECT_EQ(list.RemoveFirst(), &a);
  EXPECT_EQ(list.RemoveFirst(), nullptr);
  EXPECT_EQ(list.RemoveLast(), nullptr);
  EXPECT_EQ(list.Find(nullptr), nullptr);
}

// A reader on another thread enters the list's region and so waits for a
// writer holding it; the owning thread reads without the lock.
TEST(AtomicList, ReadersOnOtherThreadsTakeTheRegion) {
  Item a{nullptr, nullptr, 1};
  AtomicListTemplate<Item> list;
  list.AddFirst(&a);
  list.region->lock();
  EXPECT_EQ(list.First(), &a);  // owner: no lock needed
  std::atomic<bool> done{false};
  Item* seen = nullptr;
  std::thread reader([&] {
    seen = list.Find(&a);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done);
  list.region->unlock();
  reader.join();
  EXPECT_TRUE(done);
  EXPECT_EQ(seen, &a);
}

TEST(Atomics, BitsSwapsAndAdds) {
  UInt8 byte = 0;
  EXPECT_FALSE(AtomicSetBit(&byte, 3));
  EXPECT_TRUE(AtomicSetBit(&byte, 3));
  EXPECT_EQ(byte, 0x08);
  EXPECT_TRUE(AtomicTestBit(&byte, 3));
  EXPECT_FALSE(AtomicTestBit(&byte, 2));
  EXPECT_TRUE(AtomicClearBit(&byte, 3));
  EXPECT_FALSE(AtomicClearBit(&byte, 3));
  EXPECT_EQ(byte, 0);
  EXPECT_FALSE(AtomicSetBit(&byte, 9));  // no such bit in a byte
  EXPECT_EQ(byte, 0);

  UInt32 word = 5;
  EXPECT_FALSE(AtomicCompareAndSwap32(4, 9, &word));
  EXPECT_TRUE(AtomicCompareAndSwap32(5, 9, &word));
  EXPECT_EQ(word, 9u);
  UInt16 half = 0xFFFF;
  EXPECT_TRUE(AtomicCompareAndSwap16(0xFFFF, 1, &half));
  UInt8 small = 7;
  EXPECT_FALSE(AtomicCompareAndSwap8(6, 1, &small));
  int target = 0;
  void* pointer = nullptr;
  EXPECT_TRUE(AtomicCompareAndSwapPtr(nullptr, &target, &pointer));
  EXPECT_EQ(pointer, &target);

  struct AddCase {
    SInt32 start, amount, result;
  } adds8[] = {{127, 1, -128}, {-128, -1, 127}, {5, -10, -5}}, adds16[] = {{32767, 1, -32768}, {-1, 2, 1}},
    adds32[] = {{2147483647, 1, SInt32(0x80000000u)}, {-7, 3, -4}};
  for (const AddCase& c : adds8) {
    SInt8 v = SInt8(c.start);
    EXPECT_EQ(AtomicAdd8(SInt8(c.amount), &v), c.result);
    EXPECT_EQ(v, c.result);
  }
  for (const AddCase& c : adds16) {
    SInt16 v = SInt16(c.start);
    EXPECT_EQ(AtomicAdd16(SInt16(c.amount), &v), c.result);
  }
  for (const AddCase& c : adds32) {
    SInt32 v = c.start;
    EXPECT_EQ(AtomicAdd32(c.amount, &v), c.result);
  }

  UInt8 lock = 0;
  EXPECT_TRUE(AtomicAcquireLock(&lock));
  EXPECT_FALSE(AtomicAcquireLock(&lock));
  AtomicClearLock(&lock);
  EXPECT_TRUE(AtomicAcquireLock(&lock));

  EXPECT_FALSE(UseOTAtomicity(false));
  EXPECT_FALSE(gHasOT);
  AtomicTestBit(&lock, 0);
  EXPECT_TRUE(gHasOT);
  EXPECT_TRUE(IsOpenTransportAvailable());
}

TEST(Atomics, FirstErrorWins) {
  SInt32 code = 0, line = 0;
  Str31 file;
  EXPECT_FALSE(AtomicError(&code, file, &line));
  ReportAtomicError(-50, (const unsigned char*)"\x08Keys.cpp", 12);
  ReportAtomicError(-43, (const unsigned char*)"\x07Other.c", 99);
  EXPECT_TRUE(AtomicError(&code, file, &line));
  EXPECT_EQ(code, -50);
  EXPECT_EQ(line, 12);
  EXPECT_EQ(std::string((const char*)file + 1, file[0]), "Keys.cpp");
  EXPECT_FALSE(AtomicError(&code, file, &line));

  // A long source path keeps its first 31 characters.
  ReportAtomicError(-1, (const unsigned char*)"\x28/home/build/src/shell/TaskKeys.cpp:12345", 1);
  EXPECT_TRUE(AtomicError(nullptr, file, nullptr));
  EXPECT_EQ(std::string((const char*)file + 1, file[0]), "/home/build/src/shell/TaskKeys.");
}
