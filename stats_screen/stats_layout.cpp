#include "stats_screen/stats_layout.h"

#include <array>

namespace {

constexpr Rgb kBrown{0x804000};

// Figures ("0" until load) and the column and row headings.
constexpr ControlRow centred(std::string_view name, Place place, std::string_view caption = "0") {
  return {.name = name, .place = place, .fill = kBrown, .align = Align::Center, .caption = caption};
}

constexpr ControlRow rule(std::string_view name, Place ends, int pen_px) {
  return {.name = name, .kind = Kind::Line, .place = ends, .pen_px = pen_px};
}

// Front to back. The transparent UnClickerlbl lies over everything and so
// takes every click in the window.
// clang-format off
constexpr auto kRows = std::to_array<ControlRow>({
    {.name = "UnClickerlbl", .place = {0, 0, 4575, 1575}},
    rule("Line10", {4440, 240, 4440, 1440}, 2),
    rule("Line9", {3600, 240, 3600, 1440}, 2),
    rule("Line5", {120, 1440, 4440, 1440}, 2),
    rule("Line1", {120, 960, 4440, 960}, 2),
    centred("Strike2lbl", {3720, 1080, 615, 255}),
    centred("Strike1lbl", {3720, 600, 615, 255}),
    centred("Dis2lbl", {2760, 1080, 735, 255}),
    centred("Dis1lbl", {2760, 600, 735, 255}),
    centred("HRuns2lbl", {1680, 1080, 855, 255}),
    centred("HRuns1lbl", {1680, 600, 855, 255}),
    centred("Hits2lbl", {960, 1080, 495, 255}),
    centred("Hits1lbl", {960, 600, 495, 255}),
    rule("Line6", {840, 240, 4440, 240}, 2),
    rule("Line3", {120, 480, 4440, 480}, 2),
    {.name = "Label8", .place = {3600, 0, 855, 255}, .fill = kBrown, .caption = "Pitching", .font = kBold8},
    centred("Label7", {2760, 240, 735, 255}, "Distance"),
    centred("Label6", {1680, 240, 855, 255}, "Home Runs"),
    {.name = "Label5", .place = {840, 0, 735, 255}, .fill = kBrown, .caption = "Batting", .font = kBold8},
    rule("Line8", {2640, 240, 2640, 1440}, 1),
    rule("Line7", {1560, 240, 1560, 1440}, 1),
    centred("Label4", {3720, 240, 615, 255}, "Strikes"),
    centred("Label3", {960, 240, 495, 255}, "Hits"),
    rule("Line4", {120, 1440, 120, 480}, 2),
    rule("Line2", {840, 240, 840, 1440}, 2),
    centred("Label2", {120, 1080, 735, 255}, "Player 2:"),
    centred("Label1", {120, 600, 735, 255}, "Player 1:"),
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
