// The drawing pass's canvas over a GDI device context.
#pragma once

#include <windows.h>

#include "core/forms/pixels.h"

class Form;

// Draws `dirty` (client pixels) of the form into `dc`, whose pixels are
// `scale` times the client's; nothing outside `dirty` changes.
void paint_form(HDC dc, const Form& form, const PixelRect& dirty, double scale);

// The game's face, as the program's resources carry it.
inline constexpr wchar_t kGameFace[] = L"DejaVu Sans Condensed";
