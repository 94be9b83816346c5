// The one transform from twips to pixels, shared by every platform that draws
// the form model: 15 twips a pixel at 96 dpi. Positions keep the exact twips
// the game writes; only drawing rounds.
#pragma once

#include <algorithm>
#include <cmath>

#include "core/forms/controls.h"

inline constexpr float kTwipsPerPixel = 15;

inline int to_pixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Every pixel that drawing within these twips can touch, edges rounded outwards.
inline PixelRect pixel_bounds(const Bounds& twips) {
  const int left = static_cast<int>(std::floor(twips.left / kTwipsPerPixel));
  const int top = static_cast<int>(std::floor(twips.top / kTwipsPerPixel));
  const int right = static_cast<int>(std::ceil(twips.right / kTwipsPerPixel));
  const int bottom = static_cast<int>(std::ceil(twips.bottom / kTwipsPerPixel));
  return {left, top, right - left + 1, bottom - top + 1};
}

// A label's or shape's rectangle, both edges rounded so that neighbours meet.
inline PixelRect box_pixels(const Boxed& box) {
  const int left = to_pixels(box.Left), top = to_pixels(box.Top);
  return {left, top, to_pixels(box.Left + box.Width) - left, to_pixels(box.Top + box.Height) - top};
}

// A circle is the largest one centred in its shape's rectangle.
inline PixelRect circle_in(const PixelRect& r) {
  const int side = std::min(r.width, r.height);
  return {r.x + (r.width - side) / 2, r.y + (r.height - side) / 2, side, side};
}

// A font's size in pixels at 96 dpi.
inline int font_pixels(const Font& font) { return static_cast<int>(std::lround(font.points * 96 / 72)); }
// The face's ascent and descent, 1901 and 483 of its 2048 units a size, each
// rounded to whole pixels: the baseline below a line's top, and the height
// of a line.
inline int font_ascent_pixels(const Font& font) {
  return static_cast<int>(std::lround(font_pixels(font) * 1901 / 2048.0));
}
inline int font_line_pixels(const Font& font) {
  return font_ascent_pixels(font) + static_cast<int>(std::lround(font_pixels(font) * 483 / 2048.0));
}

inline bool overlaps(const PixelRect& a, const PixelRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Empty (zero width or height) where they do not overlap.
inline PixelRect intersected(const PixelRect& a, const PixelRect& b) {
  const int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.width, b.x + b.width), bottom = std::min(a.y + a.height, b.y + b.height);
  return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

inline PixelRect united(const PixelRect& a, const PixelRect& b) {
  const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.width, b.x + b.width) - left,
          std::max(a.y + a.height, b.y + b.height) - top};
}
