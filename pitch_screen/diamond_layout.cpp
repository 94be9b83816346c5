#include "pitch_screen/diamond_layout.h"

#include <array>

#include "core/forms/keys.h"

namespace {

constexpr Rgb kField{0x008000};
constexpr Rgb kBatGrey{0xC0C0C0};
constexpr Rgb kOrange{0xFF8000};
constexpr Rgb kOlive{0xC0C000};
constexpr Rgb kRust{0xC04000};
constexpr Font kCallFont{13.5f, true};

// Front to back: each control is drawn over every control below it. The four
// zones are outlined in the field's colour, so they are measured, not seen.
// clang-format off
constexpr auto kRows = std::to_array<ControlRow>({
    {.name = "Timer1", .kind = Kind::Timer, .interval = 0},
    {.name = "Bat", .kind = Kind::Oval, .box = {2160, 3720, 135, 1455}, .fill = kBatGrey},
    {.name = "PitchED", .kind = Kind::Rectangle, .box = {-240, 5040, 7095, 135}, .ink = kField},
    {.name = "BallZone2", .kind = Kind::Rectangle, .box = {3360, 5040, 2775, 135}, .ink = kField},
    {.name = "BaLLlbl", .box = {5280, 600, 495, 255}, .fill = kField, .caption = "0", .font = kBold8},
    {.name = "Label6", .box = {4695, 600, 480, 195}, .fill = kField, .align = Align::Right,
     .caption = "Balls:", .font = kBold8},
    {.name = "Label5", .box = {5040, 4680, 915, 195}, .fill = kField, .ink = kOrange,
     .caption = "View Stats", .font = kBold8},
    {.name = "BallZone1", .kind = Kind::Rectangle, .box = {0, 5040, 2655, 135}, .ink = kField},
    {.name = "Pitchlbl", .box = {2400, 2040, 1215, 375}, .fill = kField, .align = Align::Center,
     .visible = false, .caption = "Strike", .font = kCallFont},
    {.name = "StrikeBox", .kind = Kind::Rectangle, .box = {2640, 5040, 735, 135}, .ink = kField},
    {.name = "Inninglbl", .box = {4440, 120, 855, 255}, .fill = kField, .align = Align::Right,
     .caption = "First", .font = kBold8},
    {.name = "Label4", .box = {5400, 120, 615, 255}, .fill = kField, .caption = "Inning", .font = kBold8},
    {.name = "Play2lbl", .box = {960, 480, 1095, 255}, .fill = kField, .caption = "Batting", .font = kBold8},
    {.name = "Play1lbl", .box = {960, 120, 1095, 255}, .fill = kField, .caption = "Pitching", .font = kBold8},
    {.name = "Label3", .box = {0, 480, 855, 255}, .fill = kField, .align = Align::Right,
     .caption = "Player 2:", .font = kBold8},
    {.name = "Label2", .box = {0, 120, 855, 255}, .fill = kField, .align = Align::Right,
     .caption = "Player 1:", .font = kBold8},
    {.name = "Outlbl", .box = {5280, 1320, 495, 255}, .fill = kField, .caption = "0", .font = kBold8},
    {.name = "Strikelbl", .box = {5280, 960, 495, 255}, .fill = kField, .caption = "0", .font = kBold8},
    {.name = "Label1", .index = 1, .box = {4710, 1320, 465, 195}, .fill = kField, .align = Align::Right,
     .caption = "Outs:", .font = kBold8},
    {.name = "Label1", .index = 0, .box = {4515, 960, 660, 195}, .fill = kField, .align = Align::Right,
     .caption = "Strikes:", .font = kBold8},
    {.name = "TheBall", .kind = Kind::Circle, .box = {kHomeLeft, kHomeTop, 255, 255}, .fill = kWhite},
    {.name = "Line7", .index = 1, .kind = Kind::Line, .ends = {2520, 4320, 3000, 4680}, .ink = kWhite,
     .pen_px = 8},
    {.name = "Line7", .index = 0, .kind = Kind::Line, .ends = {3000, 4680, 3480, 4320}, .ink = kWhite,
     .pen_px = 8},
    {.name = "Shape2", .index = 1, .kind = Kind::Rectangle, .box = {3720, 3720, 855, 1215}, .fill = kOlive,
     .pen_px = 2},
    {.name = "Shape2", .index = 0, .kind = Kind::Rectangle, .box = {1440, 3720, 855, 1215}, .fill = kOlive,
     .pen_px = 2},
    {.name = "Line5", .kind = Kind::Line, .ends = {2400, 3720, 2400, 4320}, .pen_px = 2},
    {.name = "Line4", .kind = Kind::Line, .ends = {3600, 3720, 3600, 4320}, .pen_px = 2},
    {.name = "Line3", .kind = Kind::Line, .ends = {3600, 4320, 3000, 4800}, .pen_px = 2},
    {.name = "Line2", .kind = Kind::Line, .ends = {2400, 4320, 3000, 4800}, .pen_px = 2},
    {.name = "Line1", .kind = Kind::Line, .ends = {2400, 3720, 3600, 3720}, .pen_px = 2},
    {.name = "Shape1", .kind = Kind::Oval, .box = {2400, 480, 1215, 255}, .fill = kRust},
    {.name = "Shape3", .kind = Kind::Rectangle, .box = {2400, 3720, 1215, 615}, .fill = kWhite, .ink = {}},
    {.name = "Shape4", .index = 4, .kind = Kind::RoundedRectangle, .box = {2880, 4440, 255, 255},
     .fill = kWhite, .ink = {}},
    {.name = "Shape4", .index = 1, .kind = Kind::RoundedRectangle, .box = {2640, 4080, 735, 495},
     .fill = kWhite, .ink = {}},
    {.name = "Line6", .kind = Kind::Line, .ends = {2400, 4320, 3600, 4320}, .ink = kWhite, .pen_px = 2},
});
// clang-format on

}  // namespace

const FormSettings kDiamondSettings{
    .name = "Diamond",
    .caption = "Diamond",
    .client_width = 6030,
    .client_height = 5250,
    .background = kField,
    .border = Border::FixedWithTitle,
    .takes_keys = true,
    .keys_acted_on = kDiamondKeys,
};

std::span<const ControlRow> diamond_layout() { return kRows; }
