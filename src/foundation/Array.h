// Array: a counted block of elements, sized when it is made and changed only
// on request, with a short name for its error messages. Stack: a stack of
// fixed capacity. Both allocate zero-filled storage; class elements are
// default-constructed on it in index order and destroyed from the last to
// the first. Running out of memory is a fatal report. Indices are not
// checked.
#pragma once

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "foundation/ErrorDialog.h"
#include "foundation/Memory.h"
#include "foundation/StringFunctions.h"
#include "platform/PlatformTypes.h"

namespace array_detail {

// Zero-filled room for count elements; null after the fatal report returns.
template <class T>
T* Allocate(UInt32 count, const char* message, const unsigned char* detail) {
  void* block = AllocateCleared(size_t(count) * sizeof(T), alignof(T));
  if (!block) {
    Str255 text;
    CToPStr(message, text);
    ErrorDialog(text, detail, 0, 1);
  }
  return static_cast<T*>(block);
}

template <class T>
void Construct(T* elements, UInt32 from, UInt32 to) {
  if constexpr (!std::is_trivially_default_constructible_v<T>)
    for (UInt32 i = from; i < to; i++) ::new (static_cast<void*>(elements + i)) T;
}

template <class T>
void Destroy(T* elements, UInt32 from, UInt32 to) {
  if constexpr (!std::is_trivially_destructible_v<T>)
    for (UInt32 i = to; i > from; i--) elements[i - 1].~T();
}

// Moves elements to new storage as they are, without running any of their
// operations: the old slots are given up, not destroyed.
template <class T>
void Relocate(T* to, const T* from, UInt32 count) {
  if (count) memcpy(static_cast<void*>(to), static_cast<const void*>(from), size_t(count) * sizeof(T));
}

template <class T>
void CopyElement(T& to, const T& from) {
  if constexpr (std::is_array_v<T>)
    memcpy(to, from, sizeof(T));
  else
    to = from;
}

inline const unsigned char* const kUnnamed = (const unsigned char*)"\x09(unnamed)";
inline const char kArrayOutOfMemory[] = "Out of memory, couldn't create array";
inline const char kStackOutOfMemory[] = "Out of memory, couldn't create stack";

}  // namespace array_detail

template <class T>
class Array {
 public:
  UInt32 count;
  T* elements;
  Str255 name;

  explicit Array(UInt32 n = 0, const unsigned char* arrayName = array_detail::kUnnamed) : count(0), elements(nullptr) {
    name[0] = 0;
    SetName(arrayName, -1);
    Init(n);
  }

  // A copy starts with an empty name.
  Array(const Array& source) : count(0), elements(nullptr) {
    name[0] = 0;
    CopyFrom(source);
  }

  Array& operator=(const Array& source) {
    if (this != &source) CopyFrom(source);
    return *this;
  }

  ~Array() { Dispose(); }

  // A name over 31 characters is refused and the old name kept. With an
  // index of 0 or more, "[", the index and "]" follow, each only while the
  // name stays within 31 characters.
  void SetName(const unsigned char* arrayName, SInt16 index) {
    CopyString(arrayName, name);
    if (index < 0) return;
    AddString((const unsigned char*)"\x01[", name);
    AddNumToString(index, name);
    AddString((const unsigned char*)"\x01]", name);
  }

  // For an empty array: makes n elements.
  void Init(UInt32 n) {
    count = 0;
    if (!n) return;
    elements = array_detail::Allocate<T>(n, array_detail::kArrayOutOfMemory, name);
    if (!elements) return;
    count = n;
    array_detail::Construct(elements, 0, n);
  }

  // Discards the contents and makes n fresh elements.
  void ManualInit(UInt32 n) {
    Dispose();
    Init(n);
  }

  void Dispose() {
    if (!count) return;
    array_detail::Destroy(elements, 0, count);
    free(elements);
    elements = nullptr;
    count = 0;
  }

  UInt32 Size() const { return count; }

  T& operator[](UInt32 i) {
    assert(i < count);
    return elements[i];
  }
  const T& operator[](UInt32 i) const {
    assert(i < count);
    return elements[i];
  }

  // Keeps min(count, newCount) elements as they are: the first ones, or with
  // keepTail the last ones, placed at the start of the new block, or with
  // keepTail at its end. New slots are zero (default-constructed).
  void Resize(UInt32 newCount, unsigned char keepTail) {
    if (newCount == count) return;
    if (newCount == 0) {
      Dispose();
      return;
    }
    T* block = array_detail::Allocate<T>(newCount, array_detail::kArrayOutOfMemory, name);
    if (!block) {
      Dispose();
      return;
    }
    UInt32 kept = count < newCount ? count : newCount;
    UInt32 from = keepTail ? count - kept : 0;
    UInt32 to = keepTail ? newCount - kept : 0;
    array_detail::Construct(block, 0, to);
    array_detail::Relocate(block + to, elements + from, kept);
    array_detail::Construct(block, to + kept, newCount);
    array_detail::Destroy(elements, 0, from);
    array_detail::Destroy(elements, from + kept, count);
    free(elements);
    elements = block;
    count = newCount;
  }

  // Removes n elements from start on. The range must lie in the array;
  // removing nothing at index 0 is refused.
  void RemoveEntries(UInt32 start, UInt32 n) {
    // Range test without 32-bit wrap-around, so a huge start or count cannot
    // pass for a small one.
    UInt64 end = UInt64(start) + n;
    if (end == 0 || end - 1 >= count) {
      char arrayName[256], message[320];
      PToCStr(name, arrayName);
      snprintf(message, sizeof message, "Can't remove %u entries from array %s[%u].", unsigned(n), arrayName,
               unsigned(count));
      ErrorDialog(message, "", 0, 1);
      return;
    }
    UInt32 remaining = count - n;
    if (!remaining) {
      Dispose();
      return;
    }
    T* block = array_detail::Allocate<T>(remaining, array_detail::kArrayOutOfMemory, name);
    if (!block) {
      Dispose();
      return;
    }
    array_detail::Relocate(block, elements, start);
    array_detail::Relocate(block + start, elements + start + n, count - start - n);
    array_detail::Destroy(elements, start, start + n);
    free(elements);
    elements = block;
    count = remaining;
  }

 private:
  void CopyFrom(const Array& source) {
    ManualInit(source.count);
    for (UInt32 i = 0; i < count; i++) array_detail::CopyElement(elements[i], source.elements[i]);
  }
};

template <class T>
class Stack {
 public:
  SInt16 capacity;
  SInt16 top;
  T* elements;

  explicit Stack(SInt16 size) { DumbInit(size); }
  Stack(const Stack&) = delete;
  Stack& operator=(const Stack&) = delete;
  ~Stack() { Dispose(); }

  // Capacity 1 to 9999; anything else gives 10.
  void DumbInit(SInt16 size) {
    capacity = size >= 1 && size <= 9999 ? size : 10;
    top = -1;
    elements = array_detail::Allocate<T>(UInt32(capacity), array_detail::kStackOutOfMemory, (const unsigned char*)"");
    if (!elements) {
      capacity = 0;
      return;
    }
    array_detail::Construct(elements, 0, UInt32(capacity));
  }

  Boolean IsFull() const { return top == capacity - 1; }
  Boolean IsEmpty() const { return top == -1; }
  SInt16 Size() const { return SInt16(top + 1); }

  Boolean Push(const T& item) {
    if (IsFull()) return false;
    array_detail::CopyElement(elements[++top], item);
    return true;
  }

  Boolean Pop(T* out) {
    if (IsEmpty()) return false;
    if (out) array_detail::CopyElement(*out, elements[top]);
    top--;
    return true;
  }

  Boolean Top(T* out) const {
    if (IsEmpty()) return false;
    if (out) array_detail::CopyElement(*out, elements[top]);
    return true;
  }

  void Dispose() {
    if (!capacity) return;
    array_detail::Destroy(elements, 0, UInt32(capacity));
    free(elements);
    elements = nullptr;
    capacity = 0;
    top = -1;
  }
};
