// Starts the form runtime in a browser page and shows the pitch screen. The
// page calls start_game once its font has loaded; the call suspends and
// resumes for as long as the page is open. The page's "Player 2" control
// hands player 2 to the computer and back through here.
#include <emscripten.h>

#include <optional>

#include "computer/computer_player.h"
#include "core/web/web_platform.h"
#include "game/mod_variable.h"
#include "pitch_screen/diamond.h"

// The page's own controls: app/web/pads.js and app/web/player2.js.
extern "C" {
void pads_init();     // the on-screen pads and the keypad hint: app/web/pads.js
void player2_init();  // listens to the "Player 2" control
// Who holds player 2 now, so the page hides the computer's buttons.
void player2_role(int role);
}

namespace {

// Numbered as Player2.choice and Player2.role in player2.js.
enum Player2Choice : int { kPerson = 0, kEasy = 1, kNormal = 2, kHard = 3 };
enum Player2Role : int { kPersonPlays = 0, kComputerPitches = 1, kComputerBats = 2 };
constexpr int kPlayer2Control = 1;

std::optional<computer::Level> level_of(int choice) {
  switch (choice) {
    case kEasy: return computer::Level::Easy;
    case kNormal: return computer::Level::Normal;
    case kHard: return computer::Level::Hard;
    default: return std::nullopt;
  }
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void start_game() {
  static WebPlatform platform;
  static computer::ComputerPlayer player2(platform.clock_seed());
  player2.on_role = [](computer::Role role) {
    player2_role(role == computer::Role::Pitching ? kComputerPitches
                 : role == computer::Role::Batting ? kComputerBats
                                                   : kPersonPlays);
  };
  platform.on_page_choice = [](int control, int value) {
    if (control == kPlayer2Control) player2.play(level_of(value));
  };
  pads_init();
  player2_init();
  platform.run(Diamond());
}
