// Draws the staged forms as the browser platform draws them, each state on a
// window of its own (numbered from 1 in their order) through the page's
// canvas 2D. The page calls draw_staged once its font has loaded; then
// Module.drawn names the windows.
#include <emscripten.h>

#include "core/forms/form.h"
#include "core/web/page.h"
#include "core/web/web_render.h"
#include "tests/support/staged_forms.h"

EM_JS(void, drawn, (int id, const char* state, int length),
      { (Module.drawn = Module.drawn || []).push({id : id, state : UTF8ToString(state, length)}); });

extern "C" EMSCRIPTEN_KEEPALIVE void draw_staged() {
  page_init();
  int id = 0;
  stage_forms([&](std::string_view state, const Form& form) {
    const FormSettings& settings = form.settings();
    const int width = to_pixels(settings.client_width), height = to_pixels(settings.client_height);
    page_show_form(++id, width, height, settings.border == Border::Thin, false, "", 0, nullptr, 0);
    paint_form(id, form, {0, 0, width, height});
    drawn(id, state.data(), static_cast<int>(state.size()));
  });
}
