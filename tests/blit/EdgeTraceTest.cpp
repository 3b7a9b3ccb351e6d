#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "blit/BlitTestPixMap.h"
#include "blit/EdgeTrace.h"

namespace {

// Indices of a traced grid that hold the edge colour.
template <class T>
std::set<int> Edges(const std::vector<T>& grid, T edge) {
  std::set<int> out;
  for (size_t i = 0; i < grid.size(); ++i)
    if (grid[i] == edge) out.insert(int(i));
  return out;
}

struct GridCase {
  int w, h;
  std::vector<int> inside;
  bool eightWay;
  std::set<int> expected;
};

const GridCase kGridCases[] = {
    {5, 5, {12}, false, {7, 11, 13, 17}},
    {5, 5, {12}, true, {6, 7, 8, 11, 13, 16, 17, 18}},
    {4, 4, {5, 6}, true, {0, 1, 2, 3, 4, 7, 8, 9, 10, 11}},
    {4, 4, {5, 6}, false, {1, 2, 4, 7, 9, 10}},
    {5, 4, {9}, true, {3, 4, 5, 8, 10, 13, 14, 15}},  // last column: wraps into the next row
    {5, 5, {2, 5, 19, 22}, true, {}},                 // first/last rows, first column of row 1, (h-1)w-1: no centres
    {2, 2, {0, 1, 2, 3}, true, {}},
};

TEST(TraceEdges, ByteAndShortGridsAndTheArrayClass) {
  for (const GridCase& c : kGridCases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " eight " << c.eightWay);
    std::vector<UInt8> src8(c.w * c.h, 0), dst8(c.w * c.h, 0);
    std::vector<UInt16> src16(c.w * c.h, 0), dst16(c.w * c.h, 0);
    Array<UInt16> srcA(c.w * c.h), dstA(c.w * c.h);
    for (int i : c.inside) {
      src8[i] = 1;
      src16[i] = 1;
      srcA[i] = 1;
    }
    TraceEdges_Chars(src8.data(), dst8.data(), SInt16(c.w), SInt16(c.h), 1, 2, c.eightWay);
    TraceEdges_Shorts(src16.data(), dst16.data(), SInt16(c.w), SInt16(c.h), 1, 0x7C00, c.eightWay);
    TraceEdges_ArrayClass_Shorts(&srcA, &dstA, SInt16(c.w), SInt16(c.h), 1, 0x7C00, c.eightWay);
    EXPECT_EQ(Edges<UInt8>(dst8, 2), c.expected);
    EXPECT_EQ(Edges<UInt16>(dst16, 0x7C00), c.expected);
    EXPECT_EQ(Edges<UInt16>(std::vector<UInt16>(dstA.elements, dstA.elements + dstA.Size()), 0x7C00), c.expected);
  }
}

TEST(TraceEdges, InsideNeighboursAreNeverPainted) {
  std::vector<UInt8> src(25, 0), dst(25, 0);
  src[12] = src[13] = 1;
  TraceEdges_Chars(src.data(), dst.data(), 5, 5, 1, 2, 1);
  EXPECT_EQ(dst[12], 0);
  EXPECT_EQ(dst[13], 0);
}

TEST(TraceEdges, DegenerateGridsAndShortArraysDoNothing) {
  std::vector<UInt8> src(16, 1), dst(16, 0);
  for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, -5}, {-3, 2}}) {
    TraceEdges_Chars(src.data(), dst.data(), SInt16(w), SInt16(h), 1, 2, 1);
    EXPECT_EQ(Edges<UInt8>(dst, 2), std::set<int>{}) << w << "x" << h;
  }
  Array<UInt16> srcA(8), dstA(8);
  srcA[5] = 1;
  TraceEdges_ArrayClass_Shorts(&srcA, &dstA, 4, 4, 1, 2, 1);  // 8 elements for a 4 x 4 grid
  for (UInt32 i = 0; i < dstA.Size(); ++i) EXPECT_EQ(dstA[i], 0) << i;
}

// Source 8 x 8 at (100, 50) in its own coordinates; destination 10 x 10 at 0.
struct PixCanvas {
  TestPixMap src{8, 8, 8, 2, 100, 50};
  TestPixMap dst{8, 10, 10, 1, 0, 0};
  std::set<std::pair<int, int>> Painted() const {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 10; ++x)
        if (dst.Get(x, y) == 2) out.insert({x, y});
    return out;
  }
};

TEST(TraceEdgesPixMap, TracesInOwnCoordinates) {
  PixCanvas c;
  c.src.Set(3, 3, 1);
  const Rect srcRect = RectAt(101, 51, 6, 6), dstRect = RectAt(1, 1, 6, 6), clip = RectAt(0, 0, 10, 10);
  TraceEdges_PixMap(c.src.Handle(), c.dst.Handle(), &srcRect, &dstRect, &clip, 1, 2, 0);
  EXPECT_EQ(c.Painted(), (std::set<std::pair<int, int>>{{3, 2}, {2, 3}, {4, 3}, {3, 4}}));
}

TEST(TraceEdgesPixMap, DifferentSizesOrASourceOutsideItsPixMapDoNothing) {
  PixCanvas c;
  c.src.Fill(1);
  const TestPixMap before = c.dst;
  const Rect clip = RectAt(0, 0, 10, 10);
  const Rect srcA = RectAt(101, 51, 6, 6), dstA = RectAt(1, 1, 5, 6);
  TraceEdges_PixMap(c.src.Handle(), c.dst.Handle(), &srcA, &dstA, &clip, 1, 2, 1);
  const Rect srcB = RectAt(99, 51, 6, 6), dstB = RectAt(1, 1, 6, 6);
  TraceEdges_PixMap(c.src.Handle(), c.dst.Handle(), &srcB, &dstB, &clip, 1, 2, 1);
  EXPECT_EQ(c.dst.FirstDifference(before), "");
}

TEST(TraceEdgesPixMap, NeighboursBeyondTheSourceCountAsOutside) {
  PixCanvas c;
  c.src.Fill(1);  // the shape fills the whole source
  const Rect srcRect = RectAt(100, 50, 8, 8), dstRect = RectAt(1, 1, 8, 8), clip = RectAt(-5, -5, 30, 30);
  TraceEdges_PixMap(c.src.Handle(), c.dst.Handle(), &srcRect, &dstRect, &clip, 1, 2, 0);
  std::set<std::pair<int, int>> frame;
  for (int i = 1; i <= 8; ++i) frame.insert({{i, 0}, {i, 9}, {0, i}, {9, i}});
  EXPECT_EQ(c.Painted(), frame);
}

TEST(TraceEdgesPixMap, ClipCuttingTheLeftMovesTheSourceAlike) {
  PixCanvas c;
  for (int x = 0; x < 8; ++x) c.src.Set(x, 4, 1);  // a bar along source row 4
  const Rect srcRect = RectAt(101, 51, 6, 6), dstRect = RectAt(2, 2, 6, 6);
  const Rect clip = RectAt(4, 0, 6, 10);  // the grown destination starts at column 1: cut by 3
  TraceEdges_PixMap(c.src.Handle(), c.dst.Handle(), &srcRect, &dstRect, &clip, 1, 2, 0);
  // Source (x, y) lands on destination (x + 1, y + 1); centres are destination columns 5-7.
  EXPECT_EQ(c.Painted(), (std::set<std::pair<int, int>>{{5, 4}, {6, 4}, {7, 4}, {5, 6}, {6, 6}, {7, 6}}));
}

}  // namespace
