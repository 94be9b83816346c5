// Draws the staged forms as the browser platform draws them, each state on a
// window of its own (numbered from 1 in their order) through the page's
// canvas 2D. The page calls draw_staged once its font has loaded; then
// Module.drawn names the windows.
#include <emscripten.h>

#include <string>

#include "core/forms/draw.h"
#include "core/forms/form.h"
#include "core/web/dom_keys.h"
#include "core/web/page.h"
#include "core/web/web_render.h"
#include "tests/support/staged_forms.h"

EM_JS(void, drawn, (int id, const char* state, int length),
      { (Module.drawn = Module.drawn || []).push({id : id, state : UTF8ToString(state, length)}); });

extern "C" EMSCRIPTEN_KEEPALIVE void draw_staged() {
  const std::string_view keys = dom_key_table();
  page_init(keys.data(), static_cast<int>(keys.size()), page_face_name());
  int id = 0;
  stage_forms([&](std::string_view state, const Form& form) {
    const PixelRect client = client_pixels(form);
    page_show_form(++id, client.width, client.height, border_pixels(form), static_cast<int>(kBorderColour.value),
                   false, "", 0, nullptr, 0);
    paint_form(id, form, client);
    drawn(id, state.data(), static_cast<int>(state.size()));
  });
}
