// ModVariable: the game state that every screen shares, the umpire that
// calls pitches, and the one shared instance of each screen.
#pragma once

#include <string>
#include <vector>

#include "core/integer.h"

// Control and variable names are the game's own; keep their spelling.
struct GameState {
  // Pitch and swing
  Integer PitchType;   // 0 none, 1 breaks left, 2 straight, 3 breaks right
  Integer SideStep;    // sideways twips per tick: the break, or a hit ball's drift
  Integer HitSide;     // 1 a hit ball drifts right, 2 left
  Integer SwingTaken;  // flag: a swing has ended since the last call or hit
  Integer Swinging;    // flag: the bat is held in its swing shape
  Integer PowerSwing;  // flag: a quick swing since the hit view last loaded
  Integer BallHit;     // flag: the ball has met the bat and is rising
  Integer HitTicks;    // ticks since contact; the hit view opens on the 35th

  // Count, sides and innings
  Integer StrikeCount;
  Integer BallCount;
  Integer OutCount;
  Integer ActivePlayer;  // 1 or 2: who is credited with every statistic
  Integer InningNum;
  std::string InningName;

  // Statistics, never reset while the process runs
  Integer Hits1, Hits2;
  Integer HomeRuns1, HomeRuns2;
  double LongDist1 = 0, LongDist2 = 0;  // feet
  Integer Strikes1, Strikes2;
};

// Everything is zero (and InningName empty) when the process starts; the
// pitch screen's load sets the starting values.
inline GameState ModVariable;

// The umpire: run by the pitch screen's tick after a pitch has moved. Calls a
// strike or a ball once the ball reaches the zones along the plate line.
void CallPitch();
// The side switch of a fifth out called by the umpire.
void SwitchSides();

// Pieces of a side switch that the umpire and the hit view share.
void swap_roles();       // ActivePlayer and the role captions
void announce_switch();  // the modal "Switch Positions." box
void advance_inning();   // InningNum and InningName, wrapping after five

// Credits a statistic to player 1 or 2 by ActivePlayer; neither otherwise.
void credit_active_player(Integer& player1, Integer& player2);

// The shared screen instances, created on first use.
class DiamondForm;
class HitViewForm;
class StatsForm;
DiamondForm& Diamond();
HitViewForm& HitView();
StatsForm& Stats();

// Each screen made so far, without making any.
class Form;
std::vector<const Form*> screens_made();

// Back to the state of a process that has just started: every variable zero,
// no screen created. For tests and the soak run, which play many games.
void reset_process_state();
