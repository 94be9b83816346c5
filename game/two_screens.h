// What two screens that play one game need of the rules: who may press
// which key now, when the game is between pitches, and a digest of the game.
#pragma once

#include <cstdint>

// Pitch keys belong to the player whose caption says "Pitching", swing keys
// to the one batting; a key the game ignores belongs to no one.
bool may_press(int player, int key);
// No pitch, swing or hit is under way.
bool between_pitches();

// A digest of everything the game is: the shared variables, every property
// of every control of every screen made so far, whether each screen is
// loaded, each timer running and the box open, and the generator's state.
std::uint64_t game_digest();
