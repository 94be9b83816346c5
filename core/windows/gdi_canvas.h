// The drawing pass's canvas over a GDI device context.
#pragma once

#include <windows.h>

#include "core/forms/layout.h"
#include "core/forms/pixels.h"

#include <string>
#include <string_view>

class Form;

// Draws `dirty` (client pixels) of the form into `dc`, whose pixels are
// `scale` times the client's, with the client's top left `inset` pixels in
// from the dc's; nothing outside `dirty` changes.
void paint_form(HDC dc, const Form& form, const PixelRect& dirty, double scale, int inset = 0);

// The device pixels that client pixels cover at `scale`, edges rounded
// outwards.
RECT device_rect(const PixelRect& pixels, double scale);

// Rgb is 0xRRGGBB; GDI wants 0x00BBGGRR.
inline COLORREF gdi_colour(Rgb rgb) { return RGB((rgb.value >> 16) & 0xFF, (rgb.value >> 8) & 0xFF, rgb.value & 0xFF); }

// The game's texts are ASCII: each character is its own UTF-16 unit.
inline std::wstring wide(std::string_view text) { return {text.begin(), text.end()}; }

// The game's faces, loaded from the program's resources for its own use
// only while this lives: nothing depends on the fonts a machine has.
class GameFonts {
 public:
  explicit GameFonts(HINSTANCE instance);
  ~GameFonts();
  GameFonts(const GameFonts&) = delete;
  GameFonts& operator=(const GameFonts&) = delete;

 private:
  HANDLE fonts_[2] = {};
};
