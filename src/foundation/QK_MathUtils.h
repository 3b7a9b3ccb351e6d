// Integer rectangle, angle, vector and range utilities, plus the small
// power-of-two and midpoint helpers. Integer arithmetic is signed and
// truncates toward zero; h grows rightward and v downward; angles are whole
// degrees unless a full-circle argument says otherwise.
#pragma once

#include "platform/PlatformTypes.h"

// Keeping rectangles and points inside bounds. Each answers whether it moved
// its argument.
Boolean ContainRectH(Rect* r, Rect* bounds);
Boolean ContainRectV(Rect* r, Rect* bounds);
Boolean ContainRect(Rect* r, Rect* bounds);
Boolean ContainPoint(Point* p, Rect* bounds);
// Whether two rectangles overlap: on both axes, either low edge lies in the
// other's half-open span (touching edges do not overlap).
bool RectsOverlap(const Rect* a, const Rect* b);
// Pushes overlapping rectangles apart: only a, all at once, when both is 0;
// else a and b alternately one pixel at a time. False when they don't overlap.
Boolean ForceRect(Rect* a, Rect* b, unsigned char both);

// The smallest x at or above value * to / from with (from * x) / to == value.
// A from or to of 0 or less gives 0.
SInt16 StretchNum(SInt16 value, SInt16 from, SInt16 to);
// Adds add to the SInt32 at number and wraps it into a range starting at 0.
void LoopNumber(void* number, SInt32 add, SInt32 min, SInt32 max);
// Twenty integer Newton steps from 10000: not always the floor of the root
// (24 gives 5).
SInt32 SlowSqrt(SInt32 n);
SInt32 SummationTotal(SInt32 n);
SInt32 SummationAmount(SInt32 n);

SInt16 AngleFromCoords(SInt16 hA, SInt16 vA, SInt16 hB, SInt16 vB);
SInt16 AngleFromPoints(Point a, Point b);
SInt32 DistFromCoords(SInt16 hA, SInt16 vA, SInt16 hB, SInt16 vB);
SInt16 DistFromPoints(Point a, Point b);
SInt16 ApproachAngle(SInt16 from, SInt16 to, SInt16 full);
void CalcRotation(SInt16 angle, SInt16 full, SInt16* frame, unsigned char* flipH, unsigned char* flipV, char* quarter);
// Direction tables of 32 entries (entry i is the angle 360 * i / 32 degrees).
extern float COSFloat[32];
extern float SINFloat[32];
void CalcReflection(float* vx, float* vy, float nx, float ny);
Boolean LineInRect(SInt16 hA, SInt16 vA, SInt16 hB, SInt16 vB, Rect* r);

float Component_A_Along_B(float ax, float ay, float bx, float by);
float PinVector(float* x, float* y, float max);
float ExtendVector(float* x, float* y, float min);
void SetVectorLength(float* x, float* y, float length);

SInt16 PinVector(SInt16* x, SInt16* y, SInt16 max);
void Component_A_Along_B_Vector(SInt16* ax, SInt16* ay, SInt16 bx, SInt16 by);
void SynchPoints(SInt16* h, SInt16* v, SInt16 th, SInt16 tv, SInt16* dh, SInt16* dv, SInt16 maxStep);
void MomentumCoord(SInt16 pos, SInt16 target, SInt16* speed, char* state, SInt16* goal, SInt16 accel);

// A point that eases toward a target. States: 1 moving, 0 arrived, -1 braking.
struct MomentumPoint {
  Point position;
  SInt16 goalH, goalV;
  SInt16 speedH, speedV;
  char stateH, stateV;
  SInt16 accelH, accelV;
  SInt16 maxStep;

  void Update(Point* target);
  Boolean Aligned(Point* p);
};

// out = center + radius in the direction angle (degrees), in whole pixels.
void RotatePoint(Point* out, Point center, SInt16 angle, SInt16 radius);

// 2 to the power n - 1 as a 16-bit value (DoubleNum(16) is -32768); 0 for n
// outside 1..16.
SInt32 DoubleNum(SInt16 n);
// The inverse of DoubleNum: halvings before n reaches 1, plus 1; 0 for n <= 0.
SInt16 UnDoubleNum(SInt32 n);
// Whether a is at most b + |c - b| / 2 (the sum taken in 16 bits).
Boolean LowNumCloser(SInt16 a, SInt16 b, SInt16 c);
