#include "stats_screen/stats_layout.h"

#include <array>

namespace {

constexpr Rgb kBrown{0x804000};

// Front to back. The transparent UnClickerlbl lies over everything and so
// takes every click in the window.
// clang-format off
constexpr auto kRows = std::to_array<ControlRow>({
    {.name = "UnClickerlbl", .box = {0, 0, 4575, 1575}},
    {.name = "Line10", .kind = Kind::Line, .ends = {4440, 240, 4440, 1440}, .pen_px = 2},
    {.name = "Line9", .kind = Kind::Line, .ends = {3600, 240, 3600, 1440}, .pen_px = 2},
    {.name = "Line5", .kind = Kind::Line, .ends = {120, 1440, 4440, 1440}, .pen_px = 2},
    {.name = "Line1", .kind = Kind::Line, .ends = {120, 960, 4440, 960}, .pen_px = 2},
    {.name = "Strike2lbl", .box = {3720, 1080, 615, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "0"},
    {.name = "Strike1lbl", .box = {3720, 600, 615, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "0"},
    {.name = "Dis2lbl", .box = {2760, 1080, 735, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "0"},
    {.name = "Dis1lbl", .box = {2760, 600, 735, 255}, .fill = kBrown, .align = Align::Center, .caption = "0"},
    {.name = "HRuns2lbl", .box = {1680, 1080, 855, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "0"},
    {.name = "HRuns1lbl", .box = {1680, 600, 855, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "0"},
    {.name = "Hits2lbl", .box = {960, 1080, 495, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "0"},
    {.name = "Hits1lbl", .box = {960, 600, 495, 255}, .fill = kBrown, .align = Align::Center, .caption = "0"},
    {.name = "Line6", .kind = Kind::Line, .ends = {840, 240, 4440, 240}, .pen_px = 2},
    {.name = "Line3", .kind = Kind::Line, .ends = {120, 480, 4440, 480}, .pen_px = 2},
    {.name = "Label8", .box = {3600, 0, 855, 255}, .fill = kBrown, .caption = "Pitching", .font = kBold8},
    {.name = "Label7", .box = {2760, 240, 735, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "Distance"},
    {.name = "Label6", .box = {1680, 240, 855, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "Home Runs"},
    {.name = "Label5", .box = {840, 0, 735, 255}, .fill = kBrown, .caption = "Batting", .font = kBold8},
    {.name = "Line8", .kind = Kind::Line, .ends = {2640, 240, 2640, 1440}},
    {.name = "Line7", .kind = Kind::Line, .ends = {1560, 240, 1560, 1440}},
    {.name = "Label4", .box = {3720, 240, 615, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "Strikes"},
    {.name = "Label3", .box = {960, 240, 495, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "Hits"},
    {.name = "Line4", .kind = Kind::Line, .ends = {120, 1440, 120, 480}, .pen_px = 2},
    {.name = "Line2", .kind = Kind::Line, .ends = {840, 240, 840, 1440}, .pen_px = 2},
    {.name = "Label2", .box = {120, 1080, 735, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "Player 2:"},
    {.name = "Label1", .box = {120, 600, 735, 255}, .fill = kBrown, .align = Align::Center,
     .caption = "Player 1:"},
});
// clang-format on

}  // namespace

const FormSettings kStatsSettings{
    .name = "Stats",
    .caption = "",
    .client_width = 4530,
    .client_height = 1530,
    .background = kBrown,
    .border = Border::Thin,
};

std::span<const ControlRow> stats_layout() { return kRows; }
