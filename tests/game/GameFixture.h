// A started game with empty pools, for tests that put objects straight into
// the pools and run one routine at a time.
#pragma once

#include <gtest/gtest.h>

#include "foundation/Random.h"
#include "support/game/GameDriver.h"
#include "support/gameservices/FakeGameServices.h"

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fakeSERVICES.Reset();
    gamedriver::Begin(12345);
    fakeSERVICES.sounds.clear();
    fakeSERVICES.calls.clear();
    fakeSERVICES.brightness = 255;
    waveREADY = 1;
    randomSEED = 777;
  }

  static Rect RectAt(SInt16 left, SInt16 top, SInt16 w, SInt16 h) {
    return Rect{top, left, SInt16(top + h), SInt16(left + w)};
  }

  // A ship of player p, joined and flying at (left, top).
  static Player& PlaceShip(int p, SInt16 left, SInt16 top) {
    ResetPlayer(char(p));
    playerJOINED[p] = 1;
    Player& ship = _PLAYER[p];
    ship.rect = RectAt(left, top, 32, 32);
    UpdateSpriteLocs(&ship);
    ship.graceCount = 0;
    ship.status.shield.target = 12;
    return ship;
  }

  // A flying enemy in slot i, state 0, 32 by 32 at (left, top).
  static Enemy& PlaceEnemy(int i, SInt16 left, SInt16 top, SInt32 state = 0) {
    Enemy& e = _ENEMY[i];
    e.Reset();
    e.rect = RectAt(left, top, 32, 32);
    e.realRect = e.rect;
    UpdateSpriteLocs(&e);
    e.flying = 1;
    e.enemyState = state;
    e.frame = 2;
    e.targetBank = 2;
    e.flipCount = 0;
    curENEMS++;
    if (state == 3) {
      InsetRectGame(&e.rect, -4, -4);
      e.realRect = e.rect;
    }
    return e;
  }

  static Meteor& PlaceMeteor(int i, SInt16 left, SInt16 top, UInt8 size, UInt8 hits) {
    Meteor& m = _METEOR[i];
    m.Reset();
    SInt16 s = meteorSIZE[size];
    m.rect = RectAt(left, top, s, s);
    m.realRect = m.rect;
    UpdateSpriteLocs(&m);
    m.on = 1;
    m.state = 0;
    m.kind = size;
    m.hits = hits;
    return m;
  }

  static Shot& PlaceShot(int p, int i, SInt16 left, SInt16 top, UInt8 doubled = 0) {
    Shot& s = SHOT[p][i];
    s.Reset();
    s.rect = RectAt(left, top, 8, 24);
    UpdateSpriteLocs(&s);
    s.velY = float(-4.00008);
    s.on = 1;
    s.movingDown = 0;
    s.doubled = doubled;
    return s;
  }

  static int SparksActive() {
    int n = 0;
    for (const Spark& s : _SPARK) n += s.active;
    return n;
  }
};
