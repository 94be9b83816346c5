// What the program asks of its page: the functions of core/web/page.js, which
// emscripten links in as imports. Only the web platform calls them.
#pragma once

// What the page queues, as the first number of an event; named as
// Page.event in page.js.
enum PageEvent : int {
  kPageKey = 1,
  kPageClick = 2,
  kPageBoxClosed = 3,
  kPageRepaintAll = 4,
  kPageChoice = 5  // one of the page's own controls: which, and its value
};
// Named as PageCanvas.shape in page_canvas.js; a pen's cap and join are
// LineCap's and LineJoin's (core/forms/draw.h), named as PageCanvas.caps and
// PageCanvas.joins.
enum PageShape : int { kPageRectangle = 0, kPageRoundedRectangle = 1, kPageOval = 2 };

extern "C" {
// `keys`: the page's keys in the game's codes, as JSON (core/web/dom_keys.h);
// `face`: the face the canvases draw in (page_face_name).
void page_init(const char* keys, int keys_length, const char* face);
double page_now();  // the page's steady clock, milliseconds
// Takes the oldest queued page event into four numbers; false with none.
bool page_take_event(double* event);
bool page_pending();  // an event is queued
// Suspends the program until a page event is queued or `ms` have passed
// (forever when negative). Call it only with no event queued.
void page_wait(double ms);

// A border of 0 is none. `keys` are the virtual-key codes the main form acts
// on.
void page_show_form(int id, int width, int height, int border, int border_rgb, bool takes_keys, const char* caption,
                    int caption_length, const int* keys, int key_count);
void page_hide_form(int id);
void page_open_box(int id, const char* prompt, int prompt_length, const char* title, int title_length,
                   int min_width);
// Takes the box down from the program's side, as if OK were pressed there,
// without queueing its closing.
void page_close_box(int id);

// Painting, in client pixels (core/web/page_canvas.js); the page shows it at
// its next frame.
void page_begin_paint(int id, int x, int y, int width, int height);
void page_end_paint();
void page_fill_rect(int x, int y, int width, int height, int rgb);
// The pen the next outline or line is stroked with.
void page_pen(int ink, int width, int cap, int join);
// A colour of -1 is none.
// (x, y, width, height): the shape's pixels; (ox, oy, ow, oh): its outline.
void page_shape(PageShape kind, int x, int y, int width, int height, int ox, int oy, int ow, int oh, int fill,
                int ink, float radius);
void page_line(int x1, int y1, int x2, int y2);
double page_text_width(const char* text, int length, int pixels, bool bold);
// One line, its baseline starting at (x, baseline), shown only within the
// clip (cx, cy, cw, ch).
void page_text(float x, int baseline, const char* text, int length, int pixels, bool bold, int ink, int cx, int cy,
               int cw, int ch);
}
