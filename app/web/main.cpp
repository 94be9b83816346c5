// Starts the form runtime in a browser page and shows the pitch screen; the
// page makes room for the other two windows from the start. The page calls
// start_game once its font has loaded; the call suspends and resumes for as
// long as the page is open.
#include <emscripten.h>

#include "core/web/web_platform.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"

extern "C" EMSCRIPTEN_KEEPALIVE void start_game() {
  static WebPlatform platform;
  platform.run(Diamond(), {&HitView(), &Stats()});
}
