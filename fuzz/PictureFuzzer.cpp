// Picture files (PNG) through the engine's picture readers, the input being
// the file: LoadPictFile by name against a base folder (found through the
// ".png" its name leaves out) and by file reference, PlacePictFile_Point and
// PlacePictFile_Rect into a registry pixmap, and PlacePNG_Point into 8, 16
// and 32-bit pixel maps, at a point and centred on it. Whatever the file:
// both loads agree; a picture taken has bounds (0, 0) to its positive size
// within kMaxPNGSide and holds a pixel for each point of them, each
// 0x00RRGGBB; a refused one leaves no picture (and nothing allocated);
// drawn at its own size a picture puts its own pixels, and so does
// PlacePNG_Point at 32 bits; every drawing covers what it answers, clipped
// to the pixel map, and changes nothing else, neither pixels outside it nor
// the guard bytes around the pixel maps and at the end of their rows.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "graphics/PNGFile.h"
#include "graphics/Pictures.h"
#include "graphics/PixMapRegistry.h"
#include "platform/QuickDraw.h"
#include "platform/QuickDrawPicture.h"

namespace {

bool Same(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

bool Inside(const Rect& r, SInt32 x, SInt32 y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// An offscreen world over pixels of our own, with guard bytes before and
// after them and at the end of every row. Erased, each pixel holds a value
// no drawing makes at 16 and 32 bits (their top bit is never drawn).
class Canvas {
 public:
  static constexpr size_t kGuard = 64;
  static constexpr SInt32 kRowSpare = 12;
  static constexpr UInt8 kMark = 0xA5;

  Canvas(SInt16 depth, const Rect& bounds)
      : depth_(depth),
        bounds_(bounds),
        used_((bounds.right - bounds.left) * depth / 8),
        rowBytes_(used_ + kRowSpare),
        memory_(2 * kGuard + size_t(rowBytes_) * size_t(bounds.bottom - bounds.top), kMark) {
    FUZZ_CHECK(NewGWorldFromPtr(&world_, UInt32(depth), &bounds, nullptr, nullptr, 0,
                                reinterpret_cast<Ptr>(memory_.data() + kGuard), rowBytes_) == noErr);
  }
  ~Canvas() { DisposeGWorld(world_); }

  GWorldPtr World() const { return world_; }
  PixMapHandle Map() const { return GetGWorldPixMap(world_); }
  const Rect& Bounds() const { return bounds_; }

  void Erase() {
    for (SInt32 y = bounds_.top; y < bounds_.bottom; ++y)
      for (SInt32 x = bounds_.left; x < bounds_.right; ++x) Set(x, y, Erased());
  }
  UInt32 Erased() const { return depth_ == 32 ? 0xEE5A5A5Au : depth_ == 16 ? 0xDA5Au : 0xA7u; }
  UInt32 At(SInt32 x, SInt32 y) const {
    const UInt8* p = Pixel(x, y);
    if (depth_ == 32) return *reinterpret_cast<const UInt32*>(p);
    if (depth_ == 16) return *reinterpret_cast<const UInt16*>(p);
    return *p;
  }

  // Every pixel inside `drawn` (clipped) was written, none outside it was,
  // and no guard byte changed.
  void CheckDrawn(const Rect& drawn) const {
    for (size_t i = 0; i < kGuard; ++i) FUZZ_CHECK(memory_[i] == kMark && memory_[memory_.size() - 1 - i] == kMark);
    for (SInt32 y = bounds_.top; y < bounds_.bottom; ++y) {
      const UInt8* row = memory_.data() + kGuard + size_t(y - bounds_.top) * size_t(rowBytes_);
      for (SInt32 spare = used_; spare < rowBytes_; ++spare) FUZZ_CHECK(row[spare] == kMark);
      for (SInt32 x = bounds_.left; x < bounds_.right; ++x) {
        if (!Inside(drawn, x, y))
          FUZZ_CHECK(At(x, y) == Erased());
        else if (depth_ > 8)
          FUZZ_CHECK(At(x, y) != Erased());
      }
    }
  }

 private:
  const UInt8* Pixel(SInt32 x, SInt32 y) const {
    return memory_.data() + kGuard + size_t(y - bounds_.top) * size_t(rowBytes_) +
           size_t(x - bounds_.left) * size_t(depth_) / 8;
  }
  void Set(SInt32 x, SInt32 y, UInt32 value) {
    UInt8* p = const_cast<UInt8*>(Pixel(x, y));
    if (depth_ == 32)
      *reinterpret_cast<UInt32*>(p) = value;
    else if (depth_ == 16)
      *reinterpret_cast<UInt16*>(p) = UInt16(value);
    else
      *p = UInt8(value);
  }

  SInt16 depth_;
  Rect bounds_;
  SInt32 used_, rowBytes_;
  std::vector<UInt8> memory_;
  GWorldPtr world_ = nullptr;
};

// The pixel maps, their bounds off the origin so that the offsets show.
const Rect kCanvasBounds{3, -5, 43, 43};

UInt32 PicturePixel(PicHandle pic, SInt32 x, SInt32 y) { return (*pic)->pixels[size_t(y) * size_t((*pic)->width) + x]; }

// The picture drawn with DrawPicture into `r` of the canvas's world.
void Draw(Canvas& canvas, PicHandle pic, const Rect& r) {
  canvas.Erase();
  SetGWorld(canvas.World(), nullptr);
  DrawPicture(pic, &r);
  SetGWorld(nullptr, nullptr);
  Rect clipped;
  SectRect(&r, &canvas.Bounds(), &clipped);
  canvas.CheckDrawn(clipped);
}

// PlacePNG_Point of the file into the canvas; `frame` is the picture's
// (empty when it was refused). At 8 bits the file is read as one byte a
// pixel, which may take or refuse a damaged file otherwise.
void Place(Canvas& canvas, const std::string& path, const Rect& frame, SInt16 x, SInt16 y, bool centred) {
  canvas.Erase();
  imagePARAMS.center = centred;
  Rect out{1, 2, 3, 4};
  const Rect covered = PlacePNG_Point(path.c_str(), canvas.Map(), x, y, &out);
  FUZZ_CHECK(!imagePARAMS.center);
  const bool exact = (*canvas.Map())->pixelSize > 8;
  if (Same(covered, Rect{0, 0, 0, 0}) && (!exact || frame.right == 0)) {
    FUZZ_CHECK(Same(out, Rect{1, 2, 3, 4}));
    canvas.CheckDrawn(covered);
    return;
  }
  const SInt32 w = covered.right - covered.left, h = covered.bottom - covered.top;
  FUZZ_CHECK(w > 0 && h > 0 && w <= kMaxPNGSide && h <= kMaxPNGSide);
  if (exact || frame.right != 0) FUZZ_CHECK(w == frame.right && h == frame.bottom);
  const SInt32 left = centred ? x - w / 2 : x, top = centred ? y - h / 2 : y;
  FUZZ_CHECK(covered.left == left && covered.top == top && Same(out, covered));
  Rect clipped;
  SectRect(&covered, &canvas.Bounds(), &clipped);
  canvas.CheckDrawn(clipped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzSetUp();
  if (size > (1 << 20)) return 0;
  static bool registry = (InitPixMaps(), true);
  (void)registry;
  static Canvas canvas32(32, kCanvasBounds), canvas16(16, kCanvasBounds), canvas8(8, kCanvasBounds);
  const std::string& folder = FuzzFolder();
  const std::string path = FuzzWriteFile("Picture.png", data, size);

  // By name (without its ".png") against the folder, and by reference.
  PicHandle named = nullptr, byRef = nullptr;
  Rect bounds{-1, -1, -1, -1};
  const OSErr err = LoadPictFile(&named, "Picture", folder.c_str(), &bounds);
  const FSRef ref{path};
  FUZZ_CHECK(LoadPictFile(&byRef, &ref) == err);
  FUZZ_CHECK((named != nullptr) == (err == noErr) && (byRef != nullptr) == (err == noErr));
  Rect frame{0, 0, 0, 0};
  if (err != noErr) {
    FUZZ_CHECK(err == -1);
  } else {
    const Picture& p = **named;
    FUZZ_CHECK(p.width > 0 && p.height > 0 && p.width <= kMaxPNGSide && p.height <= kMaxPNGSide);
    frame = Rect{0, 0, SInt16(p.height), SInt16(p.width)};
    FUZZ_CHECK(Same(bounds, frame) && Same(p.picFrame, frame) && p.pixels && !p.recordingPort);
    FUZZ_CHECK((*byRef)->width == p.width && (*byRef)->height == p.height && Same((*byRef)->picFrame, frame));
    // Reads every pixel of both, so a block shorter than its bounds shows.
    const size_t count = size_t(p.width) * size_t(p.height);
    FUZZ_CHECK(std::memcmp(p.pixels, (*byRef)->pixels, count * sizeof(UInt32)) == 0);
    for (size_t i = 0; i < count; ++i) FUZZ_CHECK((p.pixels[i] >> 24) == 0);

    // At its own size, clipped on the left and at the top: its own pixels.
    const Rect own{-1, -9, SInt16(p.height - 1), SInt16(p.width - 9)};
    Draw(canvas32, named, own);
    for (SInt32 y = std::max<SInt32>(own.top, kCanvasBounds.top);
         y < std::min<SInt32>(own.bottom, kCanvasBounds.bottom); ++y)
      for (SInt32 x = std::max<SInt32>(own.left, kCanvasBounds.left);
           x < std::min<SInt32>(own.right, kCanvasBounds.right); ++x)
        FUZZ_CHECK(canvas32.At(x, y) == PicturePixel(named, x - own.left, y - own.top));
    // Stretched over the right and top edges, at each depth.
    const Rect stretched{-10, 0, 30, 60};
    Draw(canvas32, named, stretched);
    Draw(canvas16, named, stretched);
    Draw(canvas8, named, stretched);
  }

  // The file drawn into a registry pixmap by name: where it says, its own
  // pixels.
  PixMapHandle registered = nullptr;
  Rect registeredBounds{0, 0, 30, 40};
  FUZZ_CHECK(CreatePixMap(32, &registered, &registeredBounds, 0, 0, 1) == noErr);
  const std::string name = folder + "/Picture";
  Rect out{5, 6, 7, 8};
  const Rect placed = PlacePictFile_Point(name.c_str(), registered, 2, 3, nullptr, &out);
  if (err != noErr) {
    FUZZ_CHECK(Same(placed, Rect{0, 0, 0, 0}) && Same(out, Rect{5, 6, 7, 8}));
  } else {
    FUZZ_CHECK(Same(placed, Rect{3, 2, SInt16(3 + frame.bottom), SInt16(2 + frame.right)}) && Same(out, placed));
    const Rect pm = (*registered)->bounds;
    for (SInt32 y = 3; y < std::min<SInt32>(placed.bottom, pm.bottom); ++y) {
      const UInt32* row = reinterpret_cast<const UInt32*>(GetPixBaseAddr(registered) + y * GetPixRowBytes(registered));
      for (SInt32 x = 2; x < std::min<SInt32>(placed.right, pm.right); ++x)
        FUZZ_CHECK((row[x] & 0x00FFFFFFu) == PicturePixel(named, x - 2, y - 3));
    }
  }
  Rect into{-4, 30, 12, 50}, given{-1, -1, -1, -1};
  const Rect drawn = PlacePictFile_Rect(name.c_str(), registered, &into, nullptr, &given);
  FUZZ_CHECK(Same(drawn, into) && Same(given, frame));

  // The same file placed by the PNG reader: the picture's size, and at 32
  // bits the picture's pixels.
  Place(canvas32, path, frame, -7, 20, false);
  if (err == noErr)
    for (SInt32 y = 20; y < std::min<SInt32>(20 + frame.bottom, kCanvasBounds.bottom); ++y)
      for (SInt32 x = kCanvasBounds.left; x < std::min<SInt32>(-7 + frame.right, kCanvasBounds.right); ++x)
        FUZZ_CHECK(canvas32.At(x, y) == PicturePixel(named, x + 7, y - 20));
  Place(canvas16, path, frame, 40, 5, true);
  Place(canvas8, path, frame, 0, 42, false);

  DestroyPixMap(&registered);
  KillPicture(named);
  KillPicture(byRef);
  return 0;
}
