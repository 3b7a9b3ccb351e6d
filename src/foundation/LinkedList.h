// Doubly linked lists. LinkedListTemplate links nodes derived from Link;
// LinkedItemListTemplate stores item pointers in nodes it allocates and frees
// itself. Lists never own the items, and destroying a list frees nothing.
// Membership is the caller's business: removing a link that is not in the
// list corrupts it.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "foundation/Memory.h"
#include "platform/PlatformTypes.h"

struct Link {
  Link* prev;
  Link* next;
  Link() {}
};

template <class L>
class LinkedListTemplate {
 public:
  typedef unsigned char (*SearchProc)(const L* candidate, const L* wanted, void* refCon);

  L* first;
  L* last;
  UInt32 count;
  SearchProc searchProc;
  void* searchRefCon;

  explicit LinkedListTemplate(SearchProc proc = nullptr, void* refCon = nullptr)
      : first(nullptr), last(nullptr), count(0), searchProc(nullptr), searchRefCon(nullptr) {
    SetSearchProc(proc, refCon);
  }
  LinkedListTemplate(const LinkedListTemplate&) = delete;
  LinkedListTemplate& operator=(const LinkedListTemplate&) = delete;

  void SetSearchProc(SearchProc proc, void* refCon) {
    searchProc = proc;
    searchRefCon = refCon;
  }
  SearchProc GetSearchProc(void** refConOut) const {
    if (refConOut) *refConOut = searchRefCon;
    return searchProc;
  }

  L* First() const { return first; }
  L* Last() const { return last; }
  L* Next(const L* link) const { return static_cast<L*>(link->next); }
  UInt32 Size() const { return count; }

  void AddFirst(L* link) {
    link->prev = nullptr;
    link->next = first;
    if (first)
      first->prev = link;
    else
      last = link;
    first = link;
    count++;
  }

  void AddLast(L* link) {
    link->next = nullptr;
    link->prev = last;
    if (last)
      last->next = link;
    else
      first = link;
    last = link;
    count++;
  }

  L* Find(const L* wanted) const {
    if (!wanted) return nullptr;
    for (L* link = first; link; link = Next(link))
      if (searchProc ? searchProc(link, wanted, searchRefCon) != 0 : link == wanted) return link;
    return nullptr;
  }

  L* RemoveFirst() {
    L* link = first;
    if (!link) return nullptr;
    first = static_cast<L*>(link->next);
    if (first)
      first->prev = nullptr;
    else
      last = nullptr;
    count--;
    return link;
  }

  L* RemoveLast() {
    L* link = last;
    if (!link) return nullptr;
    last = static_cast<L*>(link->prev);
    if (last)
      last->next = nullptr;
    else
      first = nullptr;
    count--;
    return link;
  }

  void Remove(L* link) {
    if (link == first) {
      RemoveFirst();
    } else if (link == last) {
      RemoveLast();
    } else {
      assert(link->prev && link->next);
      link->prev->next = link->next;
      link->next->prev = link->prev;
      count--;
    }
  }
};

template <class T>
struct LinkedItemLinkTemplate : Link {
  T* item;
  explicit LinkedItemLinkTemplate(T* stored) : item(stored) {}
};

template <class T>
class LinkedItemListTemplate : public LinkedListTemplate<LinkedItemLinkTemplate<T>> {
 public:
  typedef LinkedItemLinkTemplate<T> ItemLink;
  typedef LinkedListTemplate<ItemLink> Base;
  typedef unsigned char (*ItemSearchProc)(T* candidate, T* wanted, void* refCon);

  ItemSearchProc itemSearchProc;
  void* itemSearchRefCon;

  explicit LinkedItemListTemplate(ItemSearchProc proc = nullptr, void* refCon = nullptr)
      : Base(nullptr, nullptr), itemSearchProc(nullptr), itemSearchRefCon(nullptr) {
    SetSearchItemProc(proc, refCon);
  }

  void SetSearchItemProc(ItemSearchProc proc, void* refCon) {
    itemSearchProc = proc;
    itemSearchRefCon = refCon;
    Base::SetSearchProc(SearchItemProc, this);
  }

  static unsigned char SearchItemProc(const ItemLink* candidate, const ItemLink* wanted, void* list) {
    auto* self = static_cast<LinkedItemListTemplate*>(list);
    if (self->itemSearchProc) return self->itemSearchProc(candidate->item, wanted->item, self->itemSearchRefCon);
    return candidate->item == wanted->item;
  }

  Boolean AddLastItem(T* item) {
    ItemLink* link = NewLink(item);
    if (!link) return false;
    Base::AddLast(link);
    return true;
  }

  Boolean AddFirstItem(T* item) {
    ItemLink* link = NewLink(item);
    if (!link) return false;
    Base::AddFirst(link);
    return true;
  }

  Boolean AddItem(T* item) { return AddLastItem(item); }

  T* FindItem(T* item) const {
    ItemLink wanted(item);
    ItemLink* link = Base::Find(&wanted);
    return link ? link->item : nullptr;
  }

  Boolean RemoveItem(T* item) {
    ItemLink wanted(item);
    ItemLink* link = Base::Find(&wanted);
    if (!link) return false;
    Base::Remove(link);
    free(link);
    return true;
  }

  T* LastItem() const { return Base::last ? Base::last->item : nullptr; }

  static ItemLink* ItemToLink(T** slot) {
    ItemLink probe(nullptr);
    std::ptrdiff_t offset = reinterpret_cast<char*>(&probe.item) - reinterpret_cast<char*>(&probe);
    return reinterpret_cast<ItemLink*>(reinterpret_cast<char*>(slot) - offset);
  }
  static void* ToLink(void* p) { return p; }
  static void* ToItem(void* p) { return p; }

 private:
  // The node allocation reports running out of memory itself; should the
  // report return, the list stays unchanged.
  static ItemLink* NewLink(T* item) {
    void* block = AllocateCleared(sizeof(ItemLink));
    return block ? new (block) ItemLink(item) : nullptr;
  }
};
