// Draws a form's control model on its page canvas, as the desktop draws it.
#pragma once

#include "core/forms/pixels.h"

class Form;

// Paints the background and every visible control that touches `dirty`
// (client pixels), back to front, clipped to it.
void paint_form(int window_id, const Form& form, const PixelRect& dirty);

extern "C" {
// The page's name for the game's face: the page adds the game's own copy of
// it under a name no installed font has, so that none stands in for it.
const char* page_face_name();
}
