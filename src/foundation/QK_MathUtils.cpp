#include "foundation/QK_MathUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr double kPi = 3.14159265358979323846;

bool EmptyRect(const Rect* r) { return r->bottom <= r->top || r->right <= r->left; }

// Whether either low edge lies in the other's half-open span.
bool SpansOverlap(SInt32 lowA, SInt32 highA, SInt32 lowB, SInt32 highB) {
  return (lowA >= lowB && lowA < highB) || (lowB >= lowA && lowB < highA);
}

void OffsetV(Rect* r, SInt32 dv) {
  r->top = SInt16(r->top + dv);
  r->bottom = SInt16(r->bottom + dv);
}

void OffsetH(Rect* r, SInt32 dh) {
  r->left = SInt16(r->left + dh);
  r->right = SInt16(r->right + dh);
}

// Moves the span [*low, *high) inside [boundLow, boundHigh); a span longer
// than the bounds ends aligned to the high edge.
bool ContainSpan(SInt16* low, SInt16* high, SInt16 boundLow, SInt16 boundHigh) {
  SInt32 size = *high - *low;
  bool moved = false;
  if (*low < boundLow) {
    *low = boundLow;
    *high = SInt16(boundLow + size);
    moved = true;
  }
  if (*high > boundHigh) {
    *high = boundHigh;
    *low = SInt16(boundHigh - size);
    moved = true;
  }
  return moved;
}

UInt64 IntegerSqrt(UInt64 n) {
  UInt64 x = UInt64(std::sqrt(double(n)));
  while (x * x > n) x--;
  while ((x + 1) * (x + 1) <= n) x++;
  return x;
}

// Whole degrees in (0, 180] of a 16.16 slope, measured the way the screen's
// downward v axis turns: -atan(slope).
SInt32 AngleFromSlope(SInt64 slope) {
  double degrees = -std::atan(double(slope) / 65536.0) * 180.0 / kPi;
  if (degrees <= 0) degrees += 180.0;
  SInt32 whole = SInt32(std::lround(degrees));
  return whole == 0 ? 180 : whole;
}

struct DirectionTables {
  DirectionTables() {
    for (int i = 0; i < 32; i++) {
      COSFloat[i] = float(std::cos(2.0 * kPi * i / 32.0));
      SINFloat[i] = float(std::sin(2.0 * kPi * i / 32.0));
    }
  }
};

void Rotate(float* vx, float* vy, int i) {
  float x = COSFloat[i] * *vx + SINFloat[i] * *vy;
  float y = COSFloat[i] * *vy - SINFloat[i] * *vx;
  *vx = x;
  *vy = y;
}

void ScaleVector(float* x, float* y, double factor) {
  *x = float(*x * factor);
  *y = float(*y * factor);
}

SInt32 Sign(SInt32 n) { return n < 0 ? -1 : 1; }

}  // namespace

bool RectsOverlap(const Rect* a, const Rect* b) {
  return SpansOverlap(a->left, a->right, b->left, b->right) && SpansOverlap(a->top, a->bottom, b->top, b->bottom);
}

float COSFloat[32];
float SINFloat[32];
static DirectionTables directionTables;

Boolean ContainRectH(Rect* r, Rect* bounds) { return ContainSpan(&r->left, &r->right, bounds->left, bounds->right); }

Boolean ContainRectV(Rect* r, Rect* bounds) { return ContainSpan(&r->top, &r->bottom, bounds->top, bounds->bottom); }

Boolean ContainRect(Rect* r, Rect* bounds) {
  bool h = ContainRectH(r, bounds);
  bool v = ContainRectV(r, bounds);
  return h || v;
}

Boolean ContainPoint(Point* p, Rect* bounds) {
  Point old = *p;
  if (p->h < bounds->left) p->h = bounds->left;
  if (p->h > bounds->right - 1) p->h = SInt16(bounds->right - 1);
  if (p->v < bounds->top) p->v = bounds->top;
  if (p->v > bounds->bottom - 1) p->v = SInt16(bounds->bottom - 1);
  return old.h != p->h || old.v != p->v;
}

Boolean ForceRect(Rect* a, Rect* b, unsigned char both) {
  if (!RectsOverlap(a, b)) return false;
  SInt32 R = std::abs(a->right - b->left), L = std::abs(b->right - a->left);
  SInt32 B = std::abs(a->bottom - b->top), T = std::abs(b->bottom - a->top);
  bool vertical = std::min(L, R) >= std::min(T, B);
  if (!both) {
    if (vertical)
      OffsetV(a, B >= T ? b->bottom - a->top : b->top - a->bottom);
    else
      OffsetH(a, R >= L ? b->right - a->left : b->left - a->right);
    return true;
  }
  // a's direction; b goes the other way.
  SInt32 step = vertical ? (B < T ? -1 : 1) : (R < L ? -1 : 1);
  for (bool moveA = true; RectsOverlap(a, b); moveA = !moveA) {
    Rect* r = moveA ? a : b;
    SInt32 d = moveA ? step : -step;
    if (vertical)
      OffsetV(r, d);
    else
      OffsetH(r, d);
  }
  return true;
}

SInt16 StretchNum(SInt16 value, SInt16 from, SInt16 to) {
  if (from <= 0 || to <= 0) return 0;
  SInt64 x = SInt64(value) * to / from;
  while (from * x / to < value) x++;
  return SInt16(x);
}

void LoopNumber(void* number, SInt32 add, SInt32 min, SInt32 max) {
  SInt32* n = static_cast<SInt32*>(number);
  *n += add;
  if (*n > max) *n -= max + 1;
  if (*n < min) *n += max + 1;
}

SInt32 SlowSqrt(SInt32 n) {
  if (n < 1) return 0;
  SInt32 x = 10000;
  for (int i = 0; i < 20; i++) x = (x + n / x) >> 1;
  return x;
}

SInt32 SummationTotal(SInt32 n) {
  SInt64 a = std::llabs(SInt64(n));
  return SInt32(Sign(n) * (a * (a + 1) / 2));
}

SInt32 SummationAmount(SInt32 n) {
  SInt64 a = std::llabs(SInt64(n)), sum = 0, k = 0;
  while (sum < a) sum += ++k;
  return SInt32(Sign(n) * k);
}

SInt16 AngleFromCoords(SInt16 hA, SInt16 vA, SInt16 hB, SInt16 vB) {
  SInt32 dh = hB - hA, dv = vB - vA;
  if (dv == 0) return dh >= 0 ? 0 : 180;
  if (dh == 0) return dv > 0 ? 90 : 270;
  // The slope in 64 bits: dv * 65536 does not fit 32 bits once |dv| >= 32768.
  SInt32 angle = AngleFromSlope(SInt64(dv) * 65536 / -dh);
  if (dv < 0) angle += 180;
  return SInt16(angle == 360 ? 0 : angle);
}

SInt16 AngleFromPoints(Point a, Point b) { return AngleFromCoords(a.h, a.v, b.h, b.v); }

SInt32 DistFromCoords(SInt16 hA, SInt16 vA, SInt16 hB, SInt16 vB) {
  SInt64 dh = hB - hA, dv = vB - vA;
  return SInt32(IntegerSqrt(UInt64(dh * dh + dv * dv)));
}

SInt16 DistFromPoints(Point a, Point b) { return SInt16(DistFromCoords(a.h, a.v, b.h, b.v)); }

SInt16 ApproachAngle(SInt16 from, SInt16 to, SInt16 full) {
  if (from == to) return 0;
  SInt32 d = from - to;
  if (d >= full) d -= full;
  if (d < 0) d += full;
  return SInt16(d >= full / 2 ? full - d : -d);
}

void CalcRotation(SInt16 angle, SInt16 full, SInt16* frame, unsigned char* flipH, unsigned char* flipV, char* quarter) {
  *frame = 0;
  *flipH = *flipV = 0;
  *quarter = 0;
  SInt32 e = full / 8, q = full / 4, h = full / 2, a = angle;
  struct Range {
    SInt32 low, high, base, sign;
    unsigned char flip;
    char quarter;
  };
  // frame = base + sign * angle; later rows win where ranges overlap.
  const Range ranges[] = {
      {0, e, 0, 1, 0, 0},
      {e + 1, q - 1, q, -1, 1, 1},
      {q, q + e, -q, 1, 0, 1},
      {q + e + 1, h - 1, h, -1, 1, 0},
      {h, h + e, -h, 1, 0, 2},
      {h + e + 1, 3 * q - 1, 3 * q, -1, 1, 3},
      {3 * q, 3 * q + e, -3 * q, 1, 0, 3},
      {3 * q + e + 1, full - 1, full, -1, 1, 2},
  };
  for (const Range& r : ranges) {
    if (a < r.low || a > r.high) continue;
    *frame = SInt16(r.base + r.sign * a);
    *flipH = r.flip;
    *quarter = r.quarter;
  }
}

void CalcReflection(float* vx, float* vy, float nx, float ny) {
  SInt32 i = AngleFromCoords(0, 0, SInt16(nx), SInt16(ny)) * 32 / 360 % 32;
  if (i < 0) i += 32;
  Rotate(vx, vy, i);
  if (*vx > 0) *vx = -*vx;
  Rotate(vx, vy, (32 - i) % 32);
}

Boolean LineInRect(SInt16 hA, SInt16 vA, SInt16 hB, SInt16 vB, Rect* r) {
  if (EmptyRect(r)) return false;
  bool horizontalMajor = std::abs(hB - hA) > std::abs(vB - vA);
  SInt32 a1 = horizontalMajor ? hA : vA, b1 = horizontalMajor ? vA : hA;
  SInt32 a2 = horizontalMajor ? hB : vB, b2 = horizontalMajor ? vB : hB;
  SInt32 lowA = horizontalMajor ? r->left : r->top, highA = horizontalMajor ? r->right : r->bottom;
  SInt32 lowB = horizontalMajor ? r->top : r->left, highB = horizontalMajor ? r->bottom : r->right;
  if (a1 > a2) {
    std::swap(a1, a2);
    std::swap(b1, b2);
  }
  if (lowA > a2 || highA < a1) return false;
  if (b1 == b2) return lowB <= b1 && b1 <= highB;
  float s = float(b2 - b1) / float(a2 - a1);
  if (b1 >= b2) return !(lowB > b1 || highB < b2 || lowB > b1 + (lowA - a1) * s || b1 + (highA - a1) * s > highB);
  return !(lowB > b2 || highB < b1 || lowB > b1 + (highA - a1) * s || b1 + (lowA - a1) * s > highB);
}

float Component_A_Along_B(float ax, float ay, float bx, float by) {
  return float((ax * bx + ay * by) / std::hypot(bx, by));
}

float PinVector(float* x, float* y, float max) {
  double length = std::hypot(*x, *y);
  if (length <= max) return float(length);
  ScaleVector(x, y, max / length);
  return max;
}

float ExtendVector(float* x, float* y, float min) {
  double length = std::hypot(*x, *y);
  if (length >= min) return float(length);
  if (length > 0.001) {
    ScaleVector(x, y, min / length);
  } else {
    *x = min;
    *y = 0;
  }
  return min;
}

void SetVectorLength(float* x, float* y, float length) {
  double current = std::hypot(*x, *y);
  if (current == 0) return;
  ScaleVector(x, y, length / current);
}

SInt16 PinVector(SInt16* x, SInt16* y, SInt16 max) {
  SInt32 length = SlowSqrt(*x * *x + *y * *y);
  if (max >= length) return SInt16(length);
  *x = SInt16(*x * max / length);
  *y = SInt16(*y * max / length);
  return max;
}

void Component_A_Along_B_Vector(SInt16* ax, SInt16* ay, SInt16 bx, SInt16 by) {
  SInt32 root = SlowSqrt(bx * bx + by * by);
  SInt32 p = root ? (bx * *ax + by * *ay) / root : 0;
  *ax = bx;
  *ay = by;
  PinVector(ax, ay, SInt16(p));
}

void SynchPoints(SInt16* h, SInt16* v, SInt16 th, SInt16 tv, SInt16* dh, SInt16* dv, SInt16 maxStep) {
  Component_A_Along_B_Vector(dh, dv, SInt16(th - *h), SInt16(tv - *v));
  PinVector(dh, dv, maxStep);
  if (maxStep > 0) {
    if (*dh == 0 && th != *h) *dh = th > *h ? 1 : -1;
    if (*dv == 0 && tv != *v) *dv = tv > *v ? 1 : -1;
  }
  *h = SInt16(*h + *dh);
  *v = SInt16(*v + *dv);
}

void MomentumCoord(SInt16 pos, SInt16 target, SInt16* speed, char* state, SInt16* goal, SInt16 accel) {
  if (accel == 0) {  // no acceleration: the axis cannot move (and the goal formula would divide by 0)
    *speed = *goal = 0;
    *state = 0;
    return;
  }
  SInt32 d = target - pos, half = d / 2, step = accel;
  *state = 1;
  if (std::abs(d) <= 2 * accel) {
    *goal = SInt16(half);
    step = std::abs(d) / 2;
    if (std::abs(d) < 2) {
      *speed = 0;
      *state = 0;
    }
  } else {
    *goal = SInt16(accel * SummationAmount(half / accel));
  }
  if (std::abs(*goal) >= std::abs(*speed) && *state == 1) {
    *speed = SInt16(*goal >= 1 ? *speed + step : *speed - step);
  } else if (*state == 0) {
    *speed = 0;
  } else if (*goal == 0) {
    *speed = 0;
    *state = 0;
  } else {
    *state = -1;
  }
  if ((*goal > 0 && *speed > *goal) || (*goal < 0 && *speed < *goal)) *speed = *goal;
}

void MomentumPoint::Update(Point* target) {
  MomentumCoord(position.h, target->h, &speedH, &stateH, &goalH, accelH);
  MomentumCoord(position.v, target->v, &speedV, &stateV, &goalV, accelV);
  SynchPoints(&position.h, &position.v, target->h, target->v, &speedH, &speedV, maxStep);
}

Boolean MomentumPoint::Aligned(Point* p) { return position.h == p->h && position.v == p->v; }

void RotatePoint(Point* out, Point center, SInt16 angle, SInt16 radius) {
  // The angle in 16.16 radians (1144 / 65536 is nearly pi / 180), then the
  // cosine and sine as 16.16 fractions.
  double radians = angle * 1144 / 65536.0;
  SInt32 c = SInt32(std::lround(std::cos(radians) * 65536.0));
  SInt32 s = SInt32(std::lround(std::sin(radians) * 65536.0));
  out->h = SInt16(center.h + ((radius * c) >> 16));
  out->v = SInt16(center.v + ((radius * s) >> 16));
}

SInt32 DoubleNum(SInt16 n) {
  if (n < 1 || n > 16) return 0;
  return SInt16(UInt16(1u << (n - 1)));
}

SInt16 UnDoubleNum(SInt32 n) {
  if (n <= 0) return 0;
  SInt16 count = 1;
  for (; n > 1; n /= 2) count++;
  return count;
}

Boolean LowNumCloser(SInt16 a, SInt16 b, SInt16 c) {
  SInt16 threshold = SInt16(b + std::abs(c - b) / 2);
  return a <= threshold;
}
