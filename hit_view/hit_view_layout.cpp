#include "hit_view/hit_view_layout.h"

#include <array>

namespace {

constexpr Rgb kGrass{0x00C000};
constexpr Rgb kWall{0xC04000};
constexpr Font kBannerFont{12, true};

// Front to back. The ball comes first, so it flies over walls and labels.
// clang-format off
constexpr auto kRows = std::to_array<ControlRow>({
    {.name = "Timer1", .kind = Kind::Timer, .interval = 1},
    {.name = "SmallBall", .kind = Kind::Circle, .box = {2400, 480, 135, 135}, .fill = kWhite},
    {.name = "Line3", .kind = Kind::Line, .ends = {3600, 4560, 4920, 3720}, .ink = kWall, .pen_px = 3},
    {.name = "Line9", .kind = Kind::Line, .ends = {4560, 3720, 3600, 4320}, .ink = kGrass, .pen_px = 30},
    {.name = "Label3", .box = {4080, 4560, 975, 255}, .fill = kBlack, .ink = kWhite,
     .caption = "- 456 Feet", .font = kBold8},
    {.name = "Label6", .box = {4080, 6600, 975, 255}, .fill = kBlack, .ink = kWhite,
     .caption = "- 672 Feet", .font = kBold8},
    {.name = "Label5", .box = {4080, 5880, 975, 255}, .fill = kBlack, .ink = kWhite,
     .caption = "- 600 Feet", .font = kBold8},
    {.name = "Label4", .box = {4080, 5160, 975, 255}, .fill = kBlack, .ink = kWhite,
     .caption = "- 528 Feet", .font = kBold8},
    {.name = "Powerlbl", .box = {1080, 360, 615, 255}, .fill = kBlack, .ink = kWhite,
     .caption = "0", .font = kBold8},
    {.name = "Label2", .box = {240, 360, 735, 255}, .fill = kBlack, .ink = kWhite,
     .align = Align::Right, .caption = "Power:", .font = kBold8},
    {.name = "Typelbl", .box = {1560, 120, 1815, 255}, .fill = kBlack, .ink = kWhite,
     .align = Align::Center, .visible = false, .caption = "FOUL BALL", .font = kBannerFont},
    {.name = "BackWall", .kind = Kind::Line, .ends = {1440, 4560, 3600, 4560}, .ink = kWall, .pen_px = 3},
    {.name = "Line2", .kind = Kind::Line, .ends = {120, 3720, 1440, 4560}, .ink = kWall, .pen_px = 3},
    {.name = "Line16", .kind = Kind::Line, .ends = {960, 3960, 960, 2880}, .ink = kGrass, .pen_px = 20},
    {.name = "Line15", .kind = Kind::Line, .ends = {1440, 1800, 720, 3120}, .ink = kGrass, .pen_px = 11},
    {.name = "Shape9", .kind = Kind::Rectangle, .box = {480, 3120, 615, 855}, .fill = kGrass, .ink = {}},
    {.name = "LeftWall", .kind = Kind::Line, .ends = {1680, 840, 120, 3720}, .ink = kWall, .pen_px = 3},
    {.name = "Line13", .kind = Kind::Line, .ends = {1680, 1200, 240, 3720}, .ink = kGrass, .pen_px = 8},
    {.name = "Shape7", .kind = Kind::Rectangle, .box = {360, 3360, 615, 495}, .fill = kGrass, .ink = {}},
    {.name = "Line12", .kind = Kind::Line, .ends = {240, 3600, 1560, 1200}, .ink = kGrass, .pen_px = 8},
    {.name = "RightWall", .kind = Kind::Line, .ends = {3360, 840, 4920, 3720}, .ink = kWall, .pen_px = 3},
    {.name = "Line11", .kind = Kind::Line, .ends = {3840, 1800, 4560, 3240}, .ink = kGrass, .pen_px = 8},
    {.name = "Line10", .kind = Kind::Line, .ends = {4800, 3720, 240, 3720}, .ink = kGrass, .pen_px = 15},
    {.name = "Shape6", .kind = Kind::Rectangle, .box = {1200, 1920, 2655, 2415}, .fill = kGrass, .ink = {}},
    {.name = "Shape5", .kind = Kind::Rectangle, .box = {3480, 2880, 975, 1095}, .fill = kGrass, .ink = {}},
    {.name = "Line8", .kind = Kind::Line, .ends = {4080, 2520, 4680, 3600}, .ink = kGrass, .pen_px = 23},
    {.name = "Line7", .kind = Kind::Line, .ends = {3720, 2280, 3600, 1440}, .ink = kGrass, .pen_px = 11},
    {.name = "Line6", .kind = Kind::Line, .ends = {3600, 1560, 3960, 2160}, .ink = kGrass, .pen_px = 16},
    {.name = "Shape4", .kind = Kind::Rectangle, .box = {960, 2280, 495, 1935}, .fill = kGrass, .ink = {}},
    {.name = "Distancelbl", .box = {1080, 120, 735, 255}, .fill = kBlack, .ink = kWhite,
     .caption = "0", .font = kBold8},
    {.name = "Label1", .box = {120, 120, 855, 255}, .fill = kBlack, .ink = kWhite,
     .align = Align::Right, .caption = "Distance:", .font = kBold8},
    {.name = "Shape3", .kind = Kind::Rectangle, .box = {3600, 2160, 495, 2055}, .fill = kGrass, .ink = {}},
    {.name = "Shape2", .kind = Kind::Rectangle, .box = {1440, 1320, 2175, 3255}, .fill = kGrass, .ink = {}},
    {.name = "Shape8", .kind = Kind::Rectangle, .box = {-120, 3480, 375, 255}, .fill = kBlack, .ink = {}},
    {.name = "Line14", .kind = Kind::Line, .ends = {120, 3600, 1440, 4440}, .ink = kGrass, .pen_px = 13},
    {.name = "Shape1", .kind = Kind::Circle, .box = {1080, 480, 2895, 2175}, .fill = kGrass, .ink = kWall,
     .pen_px = 3},
});
// clang-format on

}  // namespace

const FormSettings kHitViewSettings{
    .name = "HitView",
    .caption = "",
    .client_width = 5055,
    .client_height = 6885,
    .background = kBlack,
    .border = Border::Thin,
};

std::span<const ControlRow> hit_view_layout() { return kRows; }
