// The drawing pass's canvas over a GDI device context.
#pragma once

#include <windows.h>

#include "core/forms/pixels.h"

class Form;

// Draws `dirty` (client pixels) of the form into `dc`, whose pixels are
// `scale` times the client's; nothing outside `dirty` changes.
void paint_form(HDC dc, const Form& form, const PixelRect& dirty, double scale);

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
