// The one drawing pass every platform draws with, on a canvas that records
// what it is told: the order, what is left out, circles, corners, labels.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/forms/draw.h"
#include "core/forms/form.h"

namespace {

constexpr Rgb kRed{0xFF0000}, kGreen{0x00FF00}, kBlue{0x0000FF};

// Front to back, in twips (15 a pixel).
constexpr auto kRows = std::to_array<ControlRow>({
    {.name = "Caption",
     .box = {150, 150, 600, 300},
     .fill = kBlue,
     .ink = {},
     .align = Align::Right,
     .caption = "Hi",
     .font = {12, true}},
    {.name = "Hidden", .box = {150, 150, 600, 300}, .visible = false, .caption = "no"},
    {.name = "Ball", .kind = Kind::Circle, .box = {300, 300, 450, 300}, .fill = kRed},
    {.name = "Plate", .kind = Kind::RoundedRectangle, .box = {0, 600, 735, 495}, .ink = {}},
    {.name = "Chalk", .kind = Kind::Line, .ends = {0, 0, 1500, 1500}, .ink = kGreen, .pen_px = 3},
    {.name = "Ticker", .kind = Kind::Timer, .interval = 1},
    {.name = "Far", .kind = Kind::Rectangle, .box = {3000, 3000, 150, 150}},
});
constexpr FormSettings kSettings{
    .name = "Probe", .client_width = 4500, .client_height = 4500, .background = kGreen};

class Probe final : public Form {
 public:
  Probe() : Form(kSettings, kRows) {}
};

// Each call as one line of text.
struct Recorder final : Canvas {
  std::vector<std::string> calls;
  static std::string at(const PixelRect& r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
           std::to_string(r.height);
  }
  static std::string rgb(std::optional<Rgb> c) { return c ? std::to_string(c->value) : "none"; }
  void fill_rect(const PixelRect& r, Rgb c) override { calls.push_back("fill " + at(r) + " " + rgb(c)); }
  // Its ink, width, cap (flat, square, round) and join (miter, round).
  static std::string pen(std::optional<Pen> p) {
    if (!p) return "none";
    return rgb(p->ink) + " " + std::to_string(p->width_px) + " " + "fsr"[static_cast<int>(p->cap)] +
           "mr"[static_cast<int>(p->join)];
  }
  void shape(ShapeKind kind, const PixelRect& r, const PixelRect& outline, std::optional<Rgb> fill,
             std::optional<Pen> p, float radius) override {
    calls.push_back("shape " + std::to_string(static_cast<int>(kind)) + " " + at(r) + " outline " + at(outline) +
                    " " + rgb(fill) + " " + pen(p) + " r" + std::to_string(radius));
  }
  void line(int x1, int y1, int x2, int y2, const Pen& p) override {
    calls.push_back("line " + std::to_string(x1) + "," + std::to_string(y1) + " " + std::to_string(x2) + "," +
                    std::to_string(y2) + " " + pen(p));
  }
  // Five pixels a character: "Hi there you" is 60 wide.
  float text_width(std::string_view text, const Font&) override { return 5.0f * static_cast<float>(text.size()); }
  void text(float x, int baseline, std::string_view text, const Font& font, Rgb ink, const PixelRect& clip) override {
    calls.push_back("text " + std::to_string(static_cast<int>(x)) + "," + std::to_string(baseline) + " " + std::string(text) + " " +
                    std::to_string(font.points) + (font.bold ? " bold " : " ") + rgb(ink) + " in " + at(clip));
  }
};

std::vector<std::string> draw(const Form& form, const PixelRect& dirty) {
  Recorder canvas;
  draw_form(form, dirty, canvas);
  return canvas.calls;
}

}  // namespace

// The background first, then the controls back to front; timers and hidden
// controls draw nothing. A circle is the largest one centred in its box, a
// rounded rectangle's corners a sixth of its shorter side, an outline turns
// square corners, a thick line ends round, and a label fills its background
// under its caption, in black unless it has an ink, the caption against its
// right edge (40 - 10 = 30 in) on the face's baseline (15 below the top at
// 12 points).
TEST(Drawing, DrawsTheBackgroundThenEveryVisibleControlBackToFront) {
  Probe probe;
  EXPECT_EQ(draw(probe, {0, 0, 100, 100}), (std::vector<std::string>{
                                               "fill 0,0 100x100 65280",
                                               "line 0,0 100,100 65280 3 rr",
                                               "shape 1 0,40 49x33 outline 0,40 48x32 none none r5.500000",
                                               "shape 2 25,20 20x20 outline 25,20 19x19 16711680 0 1 sm r0.000000",
                                               "fill 10,10 40x20 255",
                                               "text 40,25 Hi 12.000000 bold 0 in 10,10 40x20",
                                           }));
}

// A repaint draws only what reaches into its rectangle, and its background
// only inside the client area.
TEST(Drawing, ARepaintDrawsOnlyWhatReachesIntoItsRectangle) {
  Probe probe;
  EXPECT_EQ(draw(probe, {195, 195, 20, 20}), (std::vector<std::string>{
                                                 "fill 195,195 20x20 65280",
                                                 "shape 0 200,200 10x10 outline 200,200 9x9 none 0 1 sm r0.000000",
                                             }));
  EXPECT_EQ(draw(probe, {290, 290, 20, 20}), (std::vector<std::string>{"fill 290,290 10x10 65280"}));
}

// A caption too wide for its label breaks at spaces into lines as long as
// fit, each from the last one's top plus the face's line height (19 pixels
// at 12 points), as far down as the label reaches.
TEST(Drawing, WrapsACaptionAtSpacesIntoLinesOfTheFacesHeight) {
  static constexpr auto kWrapped = std::to_array<ControlRow>(
      {{.name = "Note", .box = {150, 150, 600, 450}, .caption = "Hi there you too", .font = {12, false}}});
  class Note final : public Form {
   public:
    Note() : Form(kSettings, kWrapped) {}
  } note;
  EXPECT_EQ(draw(note, {0, 0, 100, 100}), (std::vector<std::string>{
                                              "fill 0,0 100x100 65280",
                                              "text 10,25 Hi there 12.000000 0 in 10,10 40x30",
                                              "text 10,44 you too 12.000000 0 in 10,29 40x11",
                                          }));
}
