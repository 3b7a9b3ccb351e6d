// HashTableTemplate: a chained hash table of intrusive items (T begins with
// T* prev and T* next) whose buckets are AtomicListTemplate lists. Each list
// is guarded by a critical region so that a thread other than its creator
// may read it while the creating thread changes it; readers on the creating
// thread take no lock, as every writer runs there. Items belong to their
// owners: nothing here frees one.
#pragma once

#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>

#include "foundation/Memory.h"
#include "foundation/StringFunctions.h"
#include "platform/PlatformTypes.h"

Boolean IsPrime(UInt32 n);
// The smallest odd prime not below n; 2 when n < 3. Past the largest 32-bit
// prime there is none: the answer is that prime, 4294967291.
UInt32 FindPrime(UInt32 n);

template <class T>
class AtomicListTemplate {
 public:
  typedef unsigned char (*SearchProc)(const T* candidate, const T* wanted, void* refCon);

  T* first;
  T* last;
  T* pending;  // being linked or unlinked by a writer; readers step over it
  std::thread::id ownerTask;
  std::recursive_mutex* region;
  UInt32 count;
  SearchProc searchProc;
  void* searchRefCon;

  explicit AtomicListTemplate(SearchProc proc = nullptr, void* refCon = nullptr)
      : first(nullptr),
        last(nullptr),
        pending(nullptr),
        ownerTask(std::this_thread::get_id()),
        region(new std::recursive_mutex),
        count(0),
        searchProc(nullptr),
        searchRefCon(nullptr) {
    SetSearchProc(proc, refCon);
  }
  AtomicListTemplate(const AtomicListTemplate&) = delete;
  AtomicListTemplate& operator=(const AtomicListTemplate&) = delete;
  ~AtomicListTemplate() { delete region; }

  void SetSearchProc(SearchProc proc, void* refCon) {
    std::lock_guard<std::recursive_mutex> writing(*region);
    searchProc = proc;
    searchRefCon = refCon;
  }

  SearchProc GetSearchProc(void** refConOut) {
    Reading reading(this);
    if (refConOut) *refConOut = searchRefCon;
    return searchProc;
  }

  void AddFirst(T* item) {
    std::lock_guard<std::recursive_mutex> writing(*region);
    pending = item;
    item->prev = nullptr;
    item->next = first;
    if (first)
      first->prev = item;
    else
      last = item;
    first = item;
    count++;
    pending = nullptr;
  }

  T* RemoveFirst() {
    std::lock_guard<std::recursive_mutex> writing(*region);
    T* item = first;
    if (!item) return nullptr;
    pending = item;
    first = item->next;
    if (first)
      first->prev = nullptr;
    else
      last = nullptr;
    count--;
    pending = nullptr;
    return item;
  }

  T* RemoveLast() {
    std::lock_guard<std::recursive_mutex> writing(*region);
    T* item = last;
    if (!item) return nullptr;
    pending = item;
    last = item->prev;
    if (last)
      last->next = nullptr;
    else
      first = nullptr;
    count--;
    pending = nullptr;
    return item;
  }

  void Remove(T* item) {
    std::lock_guard<std::recursive_mutex> writing(*region);
    if (item == first) {
      RemoveFirst();
    } else if (item == last) {
      RemoveLast();
    } else {
      pending = item;
      item->prev->next = item->next;
      item->next->prev = item->prev;
      count--;
      pending = nullptr;
    }
  }

  T* First() {
    Reading reading(this);
    return Skip(first);
  }

  T* Next(const T* item) {
    Reading reading(this);
    return Skip(item->next);
  }

  T* Find(const T* wanted) {
    if (!wanted) return nullptr;
    Reading reading(this);
    for (T* item = Skip(first); item; item = Skip(item->next))
      if (searchProc ? searchProc(item, wanted, searchRefCon) != 0 : item == wanted) return item;
    return nullptr;
  }

 private:
  // Readers on the owning thread take no lock; all others enter the region.
  struct Reading {
    std::recursive_mutex* held;
    explicit Reading(AtomicListTemplate* list)
        : held(std::this_thread::get_id() == list->ownerTask ? nullptr : list->region) {
      if (held) held->lock();
    }
    ~Reading() {
      if (held) held->unlock();
    }
  };

  T* Skip(T* item) const { return item && item == pending ? item->next : item; }
};

template <class T>
class HashTableTemplate {
 public:
  typedef AtomicListTemplate<T> Bucket;
  typedef typename Bucket::SearchProc CompProc;
  typedef UInt32 (*HashProc)(const T* item, void* refCon);

  Str31 name;
  Bucket* buckets;
  UInt32 bucketCount;
  UInt32 entryCount;
  HashProc hashProc;
  void* hashRefCon;
  unsigned char allowDuplicates;

  HashTableTemplate(HashProc hash, void* hashValue, CompProc comp, void* compValue, SInt32 bucketsWanted,
                    unsigned char duplicates, const unsigned char* tableName)
      : buckets(nullptr), bucketCount(0), entryCount(0), hashProc(nullptr), hashRefCon(nullptr) {
    name[0] = 0;
    Initialize(bucketsWanted);
    SetHashProc(hash, hashValue);
    SetCompProc(comp, compValue);
    allowDuplicates = duplicates;
    CopyString(tableName, name);
  }
  HashTableTemplate(const HashTableTemplate&) = delete;
  HashTableTemplate& operator=(const HashTableTemplate&) = delete;
  ~HashTableTemplate() { FreeBuckets(); }

  // Empties the table into bucketsWanted buckets (a prime, or exactly 1; 2
  // for a count below 1).
  // The items in it drop out without being touched. False when the buckets
  // could not be allocated: the table then has 2.
  Boolean Initialize(SInt32 bucketsWanted) {
    CompProc comp = nullptr;
    void* compValue = nullptr;
    if (buckets) comp = buckets[0].GetSearchProc(&compValue);
    FreeBuckets();
    entryCount = 0;
    // A negative count would otherwise ask for four billion buckets.
    bucketCount = bucketsWanted == 1 ? 1 : FindPrime(bucketsWanted > 0 ? UInt32(bucketsWanted) : 0);
    Boolean made = MakeBuckets();
    if (!made) {
      bucketCount = 2;
      MakeBuckets();
    }
    SetCompProc(comp, compValue);
    return made;
  }

  void SetHashProc(HashProc hash, void* refCon) {
    hashProc = hash;
    hashRefCon = refCon;
  }

  void SetCompProc(CompProc comp, void* refCon) {
    for (UInt32 i = 0; i < bucketCount && buckets; i++) buckets[i].SetSearchProc(comp, refCon);
  }

  UInt32 Length() const { return bucketCount; }

  Boolean Add(T* item) {
    if (!allowDuplicates && Contains(item)) return false;
    BucketOf(item).AddFirst(item);
    entryCount++;
    return true;
  }

  T* Find(const T* item) { return BucketOf(item).Find(item); }
  Boolean Contains(const T* item) { return Find(item) != nullptr; }

  // Removes item, or when item itself is not in the table, the equal item
  // that Find answers: a non-member is never unlinked.
  Boolean Remove(T* item) {
    T* found = Find(item);
    if (!found) return false;
    Bucket& bucket = BucketOf(item);
    T* member = bucket.First();
    while (member && member != item) member = bucket.Next(member);
    bucket.Remove(member ? member : found);
    entryCount--;
    return true;
  }

  T* First() { return FirstFrom(0); }

  T* Next(const T* item) {
    UInt32 index = IndexOf(item);
    T* next = buckets[index].Next(item);
    return next ? next : FirstFrom(index + 1);
  }

 private:
  UInt32 IndexOf(const T* item) const {
    UInt32 hash = hashProc ? hashProc(item, hashRefCon) : 0;
    return (hash * 16777259u + 10000019u) % bucketCount;
  }

  Bucket& BucketOf(const T* item) { return buckets[IndexOf(item)]; }

  T* FirstFrom(UInt32 index) {
    for (; index < bucketCount; index++)
      if (T* item = buckets[index].First()) return item;
    return nullptr;
  }

  Boolean MakeBuckets() {
    buckets = static_cast<Bucket*>(AllocateCleared(size_t(bucketCount) * sizeof(Bucket), alignof(Bucket)));
    if (!buckets) return false;
    for (UInt32 i = 0; i < bucketCount; i++) ::new (static_cast<void*>(buckets + i)) Bucket;
    return true;
  }

  void FreeBuckets() {
    if (!buckets) return;
    for (UInt32 i = bucketCount; i > 0; i--) buckets[i - 1].~Bucket();
    free(buckets);
    buckets = nullptr;
  }
};
