// Same-size copies on several threads at once, each thread into its own
// pixel maps: every picture must be the one the same call draws alone.
// Mirrors and quarter turns are the walks that gather rows into scratch, so
// they are the calls a scratch shared between threads would spoil; each
// thread uses its own width, so one thread's scratch growing under another
// is part of what is tried.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "BlitTestPixMap.h"
#include "blit/CopySprite.h"
#include "blit/RGB16Sprite.h"

namespace {

struct Job {
  int depth;
  int width, height;
  UInt8 hFlip, vFlip;
  char turn;
  bool tinted;  // 16-bit effect copy at half opacity instead of the basic copy
};

class ThreadJob {
 public:
  explicit ThreadJob(const Job& job, unsigned seed)
      : job_(job),
        src_(job.depth, job.width, job.height, 3),
        dst_(job.depth, job.turn % 2 ? job.height : job.width, job.turn % 2 ? job.width : job.height, 5),
        blank_(dst_) {
    std::mt19937 rng(seed);
    const UInt32 valueMask = job.depth == 8 ? 0xFF : job.depth == 16 ? 0x7FFF : 0x00FFFFFF;
    src_.Randomize(rng, 0, 0, valueMask);
    Draw();
    expected_ = dst_;
  }

  // Draws `rounds` times from a blank destination; returns the pictures that
  // differ from the one drawn alone.
  int Run(int rounds) {
    int wrong = 0;
    for (int i = 0; i < rounds; ++i) {
      dst_ = blank_;
      Draw();
      if (dst_.Storage() != expected_.Storage()) ++wrong;
    }
    return wrong;
  }

 private:
  void Draw() {
    const Rect s = RectAt(0, 0, src_.Width(), src_.Height());
    const Rect d = RectAt(0, 0, dst_.Width(), dst_.Height());
    if (job_.tinted) {
      CopySpriteRGB16(src_.Handle(), dst_.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr,
                      QuickRGBA16(32, 32, 32, 16), job_.hFlip, job_.vFlip, job_.turn, nullptr, nullptr, nullptr);
    } else {
      CopySprite(src_.Handle(), dst_.Handle(), nullptr, &s, &d, nullptr, 0, -1, nullptr, nullptr, job_.hFlip,
                 job_.vFlip, job_.turn, nullptr);
    }
  }

  Job job_;
  TestPixMap src_, dst_, blank_, expected_{8, 1, 1};
};

TEST(BlitThreads, MirroredAndTurnedCopiesOnDisjointMapsAreIndependent) {
  // Widths differ per thread, so the rows each gathers differ in length.
  const std::vector<Job> jobs = {
      {8, 97, 61, 1, 0, 0, false},  {16, 120, 40, 0, 0, 1, false}, {32, 53, 77, 0, 1, 3, false},
      {16, 211, 33, 1, 0, 0, true}, {8, 40, 130, 0, 0, 1, false},  {32, 150, 24, 1, 1, 2, false},
  };
  std::vector<ThreadJob> work;
  work.reserve(jobs.size());
  for (size_t i = 0; i < jobs.size(); ++i) work.emplace_back(jobs[i], unsigned(i + 1));
  std::atomic<int> wrong{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (ThreadJob& job : work) {
    threads.emplace_back([&job, &wrong, &go] {
      while (!go.load()) std::this_thread::yield();
      wrong += job.Run(300);
    });
  }
  go = true;
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0) << "pictures that differ from the one drawn alone, out of " << 300 * jobs.size();
}

}  // namespace
