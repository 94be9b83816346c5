#include "tests/support/staged_forms.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "core/forms/draw.h"
#include "core/forms/form.h"
#include "core/forms/keys.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"
#include "tests/support/scripted_platform.h"

void stage_forms(const DrawStagedForm& draw) {
  reset_process_state();
  {
    ScriptedPlatform platform;
    DiamondForm& diamond = Diamond();
    diamond.Show();
    draw("pitch-start", diamond);

    // A straight pitch is called a strike after 44 ticks.
    platform.key(diamond, vk::kNumpad8);
    platform.advance_ticks(44);
    draw("pitch-strike", diamond);

    // A pitch breaking right by 51 twips a tick passes behind View Stats,
    // whose filled background covers the part of the ball beneath it: after
    // 41 moves it stands at 4971, 4580, short of the call on its 44th tick.
    platform.force_random({0.995f});  // 50 * 0.995 + 1 rounds to 51
    platform.key(diamond, vk::kNumpad9);
    platform.advance_ticks(41);
    draw("ball-under-label", diamond);
    platform.advance_ticks(3);

    // The next straight pitch met on its 31st tick, with the hit's draws of
    // power 22 to the left: a home run once its 200 moves have flown.
    platform.advance_ticks(20);
    platform.key(diamond, vk::kNumpad8);
    platform.queue_key(platform.now_micros() + 61 * ScriptedPlatform::kTickMicros / 2, diamond, vk::kSpace);
    platform.force_random({0.25f, 0.0f, 17.0f / 20, 0.5f, 0.25f});
    platform.advance_ticks(31 + 34 + 201);
    draw("hit-landed", HitView());

    platform.click(HitView(), 200, 6000);
    platform.click(diamond, diamond.Label5.Left + 100, diamond.Label5.Top + 100);
    draw("stats", Stats());
  }
  reset_process_state();
}

namespace {

// Hears where a drawing pass draws captions and curves.
class PartsCanvas final : public Canvas {
 public:
  DrawnParts parts;
  void fill_rect(const PixelRect&, Rgb) override {}
  void shape(ShapeKind kind, const PixelRect& rect, const PixelRect&, std::optional<Rgb>, std::optional<Pen> pen,
             float) override {
    if (kind != ShapeKind::Rectangle) parts.curves.push_back(widened(rect, pen ? pen->width_px : 1));
  }
  // A slanting line is a curve from end to end; a wider pen's round caps are
  // curves at both ends.
  void line(int x1, int y1, int x2, int y2, const Pen& pen) override {
    const int pen_px = pen.width_px;
    if (x1 != x2 && y1 != y2)
      parts.curves.push_back(
          widened({std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)}, pen_px));
    else if (pen_px > 1)
      for (const auto& [x, y] : {std::pair{x1, y1}, std::pair{x2, y2}})
        parts.curves.push_back(widened({x, y, 0, 0}, pen_px));
  }
  // Every caption of the staged states fits on one line: its clip is its label's.
  float text_width(std::string_view, const Font&) override { return 0; }
  void text(float, int, std::string_view, const Font&, Rgb ink, const PixelRect& clip) override {
    parts.captions.push_back({clip, ink});
  }

 private:
  static PixelRect widened(const PixelRect& r, int pen_px) {
    return {r.x - pen_px, r.y - pen_px, r.width + 2 * pen_px, r.height + 2 * pen_px};
  }
};

}  // namespace

DrawnParts drawn_parts(const Form& form) {
  PartsCanvas canvas;
  draw_form(form, client_pixels(form), canvas);
  return canvas.parts;
}
