#include <gtest/gtest.h>

#include <vector>

#include "foundation/LinkedList.h"

namespace {

struct Node : Link {
  int value;
  explicit Node(int v) : value(v) {}
};

typedef LinkedListTemplate<Node> NodeList;

// The values from head to tail, checking the back links on the way.
std::vector<int> Walk(const NodeList& list) {
  std::vector<int> values;
  const Node* previous = nullptr;
  for (Node* n = list.First(); n; n = list.Next(n)) {
    EXPECT_EQ(n->prev, previous);
    values.push_back(n->value);
    previous = n;
  }
  EXPECT_EQ(list.Last(), previous);
  EXPECT_EQ(list.Size(), values.size());
  return values;
}

unsigned char SameValue(const Node* candidate, const Node* wanted, void* refCon) {
  ++*static_cast<int*>(refCon);
  return candidate->value == wanted->value;
}

}  // namespace

TEST(LinkedList, AddAndRemoveKeepBothDirectionsLinked) {
  Node a(1), b(2), c(3), d(4);
  NodeList list;
  EXPECT_EQ(list.RemoveFirst(), nullptr);
  EXPECT_EQ(list.RemoveLast(), nullptr);
  list.AddLast(&b);
  list.AddFirst(&a);
  list.AddLast(&c);
  EXPECT_EQ(Walk(list), (std::vector<int>{1, 2, 3}));

  list.Remove(&b);  // inner link bridged
  EXPECT_EQ(Walk(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(a.next, &c);
  EXPECT_EQ(c.prev, &a);

  list.AddLast(&d);
  list.Remove(&d);  // tail
  list.Remove(&a);  // head
  EXPECT_EQ(Walk(list), (std::vector<int>{3}));
  EXPECT_EQ(list.RemoveLast(), &c);  // the only link
  EXPECT_EQ(list.First(), nullptr);
  EXPECT_EQ(list.Last(), nullptr);
  EXPECT_EQ(list.Size(), 0u);

  list.AddFirst(&a);
  list.AddFirst(&b);
  EXPECT_EQ(list.RemoveFirst(), &b);
  EXPECT_EQ(Walk(list), (std::vector<int>{1}));
}

TEST(LinkedList, FindByIdentityOrBySearchProc) {
  Node a(1), b(2), b2(2), probe(2);
  NodeList list;
  list.AddLast(&a);
  list.AddLast(&b);
  list.AddLast(&b2);
  EXPECT_EQ(list.Find(nullptr), nullptr);
  EXPECT_EQ(list.Find(&b2), &b2);
  EXPECT_EQ(list.Find(&probe), nullptr);

  int calls = 0;
  list.SetSearchProc(SameValue, &calls);
  void* refCon = nullptr;
  EXPECT_EQ(list.GetSearchProc(&refCon), SameValue);
  EXPECT_EQ(refCon, &calls);
  EXPECT_EQ(list.GetSearchProc(nullptr), SameValue);
  EXPECT_EQ(list.Find(&probe), &b);  // the first match from the head
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(list.Find(nullptr), nullptr);
  EXPECT_EQ(calls, 2);
}

namespace {

struct File {
  int id;
};

unsigned char SameFile(File* candidate, File* wanted, void*) { return candidate->id == wanted->id; }

}  // namespace

TEST(LinkedItemList, NodesAreMadeAndFreedByTheList) {
  File one{1}, two{2}, three{3};
  LinkedItemListTemplate<File> list;
  EXPECT_EQ(list.LastItem(), nullptr);
  EXPECT_TRUE(list.AddItem(&two));
  EXPECT_TRUE(list.AddFirstItem(&one));
  EXPECT_TRUE(list.AddLastItem(&three));
  EXPECT_EQ(list.Size(), 3u);
  EXPECT_EQ(list.First()->item, &one);
  EXPECT_EQ(list.LastItem(), &three);
  EXPECT_EQ(list.FindItem(&two), &two);

  auto* middle = list.Next(list.First());
  EXPECT_EQ(list.ItemToLink(&middle->item), middle);
  EXPECT_EQ(list.ToLink(middle), middle);
  EXPECT_EQ(list.ToItem(&two), &two);

  EXPECT_TRUE(list.RemoveItem(&two));
  EXPECT_FALSE(list.RemoveItem(&two));
  EXPECT_EQ(list.FindItem(&two), nullptr);
  EXPECT_EQ(list.Size(), 2u);
  EXPECT_EQ(list.First()->next, list.Last());
  EXPECT_EQ(list.Last()->prev, list.First());
  EXPECT_TRUE(list.RemoveItem(&one));
  EXPECT_TRUE(list.RemoveItem(&three));
  EXPECT_EQ(list.Size(), 0u);
  EXPECT_EQ(list.LastItem(), nullptr);
}

TEST(LinkedItemList, AnItemSearchFindsByIdentityOfTheFile) {
  File a{7}, b{8}, sameAsA{7};
  LinkedItemListTemplate<File> list(SameFile, nullptr);
  list.AddItem(&a);
  list.AddItem(&b);
  EXPECT_EQ(list.FindItem(&sameAsA), &a);
  EXPECT_TRUE(list.RemoveItem(&sameAsA));  // removes the matching item, not the pointer given
  EXPECT_EQ(list.Size(), 1u);
  EXPECT_EQ(list.LastItem(), &b);
  list.RemoveItem(&b);
}

// The destructor frees no node: a list going away with links in it leaves
// them to their owner (here, freed by hand so the leak checker stays quiet).
TEST(LinkedItemList, DestroyingAListFreesNothing) {
  File a{1};
  LinkedItemLinkTemplate<File>* node;
  {
    LinkedItemListTemplate<File> list;
    list.AddItem(&a);
    node = list.First();
  }
  EXPECT_EQ(node->item, &a);
  free(node);
}
