// Four states of the game's forms, reached by play on the scripted platform,
// for each platform to draw so that the drawings can be compared: the pitch
// screen at start and after a called strike, the hit view after a home run
// has landed, and the statistics window with that hit in it.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "core/forms/layout.h"
#include "core/forms/pixels.h"

class Form;

using DrawStagedForm = std::function<void(std::string_view state, const Form& form)>;

// Plays from a fresh start and calls `draw` at each state, in the order above.
void stage_forms(const DrawStagedForm& draw);

// Where a form draws its captions now, and in what colour, and where it draws
// curved or slanting edges (ovals, circles, rounded corners, slanting lines),
// in client pixels.
struct CaptionBox {
  PixelRect rect;
  Rgb ink;
};
struct DrawnParts {
  std::vector<CaptionBox> captions;
  std::vector<PixelRect> curves;
};
DrawnParts drawn_parts(const Form& form);
