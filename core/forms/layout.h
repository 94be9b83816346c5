// A form's layout as data: one row per control, front to back, in twips.
// Each screen keeps its rows in a table of its own, one designated row per
// control with the defaults left out; loading a form puts every control back
// to its row.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

struct Rgb {
  std::uint32_t value;  // 0xRRGGBB
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kBlack{0x000000};
inline constexpr Rgb kWhite{0xFFFFFF};

enum class Kind { Label, Rectangle, RoundedRectangle, Oval, Circle, Line, Timer };
enum class Align { Left, Right, Center };

// Every caption is in the one face, regular or bold, which each platform
// carries inside the program (the page under a name of its own).
inline constexpr std::string_view kGameFace = "DejaVu Sans Condensed";
struct Font {
  float points = 8.25f;
  bool bold = false;
};
inline constexpr Font kBold8{8.25f, true};

// Where a label or a shape lies.
struct Box {
  float left = 0, top = 0, width = 0, height = 0;
};

// A line's two end points.
struct Ends {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

inline constexpr int kNoIndex = -1;

struct ControlRow {
  std::string_view name;
  int index = kNoIndex;  // member of a control array when >= 0
  Kind kind = Kind::Label;
  Box box;    // labels and shapes
  Ends ends;  // lines
  std::optional<Rgb> fill;          // shape inside or label background; none is transparent
  std::optional<Rgb> ink = kBlack;  // outline, line or text colour; none draws no outline
  int pen_px = 1;                   // outline or line width in pixels
  Align align = Align::Left;
  bool visible = true;
  std::string_view caption;
  Font font;
  int interval = 0;  // timers only, milliseconds
};

enum class Border {
  FixedWithTitle,  // title bar with close box, no resizing
  Thin,            // no title bar, a 1-pixel border, no resizing or dragging
};

struct FormSettings {
  std::string_view name;
  std::string_view caption;
  float client_width = 0;  // twips
  float client_height = 0;
  Rgb background = kWhite;
  Border border = Border::FixedWithTitle;
  bool takes_keys = false;
  // The virtual-key codes its KeyDown acts on (core/forms/keys.h); the
  // browser keeps these keys' default actions (Space scrolls) from the page.
  std::span<const int> keys_acted_on;
};
