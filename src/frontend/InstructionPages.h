// The instruction pages: an older, software-drawn viewer of eight pages in a
// 512 by 384 panel, built in the build pixmap and shown with FlushToScreen.
// Each page has a title band (from the picture "Instructions/Topics"), its
// text, and on two pages animated pictures: the bosses (page 4) and the
// enemies, meteors and power-ups in their slots (page 5). Pages 7 and 8 carry
// a link. The game shows its help screen instead; only MainProgram opens this
// viewer.
//
// Keys: left and right arrows turn the page; Escape, Return or Enter close.
// Clicks: Back and Next turn the page, Done or a click outside the panel
// closes, the link opens the support mail.
#pragma once

#include "platform/QuickDraw.h"

// A Rect given as (left, top, right, bottom).
struct QuickRect {
  Rect r;
  QuickRect(SInt16 left, SInt16 top, SInt16 right, SInt16 bottom) : r{top, left, bottom, right} {}
  operator Rect*() { return &r; }
  operator const Rect*() const { return &r; }
};

enum { kInstructionPages = 8, kTopicBands = 8, kChoices = 3 };

extern UInt8 curPage;
extern Rect infoRect, textPict, textRect, topicPict[kTopicBands], topicRect, choicePict[kChoices], choiceRect[kChoices],
    linkRect, blimpRect, brangRect, enemRect, spinRect, wingRect, roidRect[3], powRect[3];
extern UInt8 roidSteps[3], enemSteps, enemDir, enemDelay, wingSteps, spinSteps, powSteps[3];
// 480 by 192, 16 bits: the eight 480 by 24 title bands.
extern PixMapHandle tempPmap;

// Shows the viewer until the user closes it or the program is asked to
// quit; afterwards "First Play" is 0 and pending mouse and key events are
// gone.
void Instructions();
// Copies title band page - 1 into the panel's title strip, leaving out the
// band's pixels of the current port's background colour.
void DrawPage(char page);
// Places the object slots and restarts their counters; switches every spark
// off.
void InitAnimations();
// One animation step of page 5: each slot is painted in the current colour,
// its object drawn, and its counter advanced.
void AnimateObjects();

// The panel's rectangles, centred in mainRECT (the first part of
// Instructions, for the tests).
void InstructionLayout();

// What a fetched event asks of the viewer on a page.
enum class PageCommand { None, Back, Next, Close, Link };
// The command of the event fetched last (theEVENT).
PageCommand PageCommandOfEvent(UInt8 page);
