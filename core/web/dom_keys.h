// The page's keys in the game's codes: the one table the page reads a
// keyboard event by (core/web/page.js), handed to it at start as JSON.
#pragma once

#include <string_view>

// {"code": {DOM code: game code}, "key": {DOM key: game code}, "numpad0": n}:
// a key is looked up by where it is (its code) and else by what it gives
// (its key). A keypad digit key gives numpad0 plus its digit with Num Lock
// on, and else its navigation key, which "key" holds.
std::string_view dom_key_table();
