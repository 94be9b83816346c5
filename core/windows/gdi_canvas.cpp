#include "core/windows/gdi_canvas.h"

#include <cmath>
#include <map>
#include <string>
#include <utility>

#include "core/forms/draw.h"
#include "core/forms/form.h"

namespace {

// Selects a GDI object for the life of the scope, then deletes it.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
  ~Selected() {
    SelectObject(dc_, old_);
    DeleteObject(object_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ old_;
};

// A one-pixel pen that does not end round is the system's cosmetic pen,
// whose ends and joins cover no pixel more.
HPEN make_pen(const Pen& pen) {
  if (pen.width_px <= 1 && pen.cap != LineCap::Round) return CreatePen(PS_SOLID, 1, gdi_colour(pen.ink));
  LOGBRUSH brush{BS_SOLID, gdi_colour(pen.ink), 0};
  const DWORD cap = pen.cap == LineCap::Round    ? PS_ENDCAP_ROUND
                    : pen.cap == LineCap::Square ? PS_ENDCAP_SQUARE
                                                 : PS_ENDCAP_FLAT;
  const DWORD join = pen.join == LineJoin::Round ? PS_JOIN_ROUND : PS_JOIN_MITER;
  return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | cap | join, static_cast<DWORD>(pen.width_px), &brush, 0, nullptr);
}

// The game's few fonts (a size and a weight each), made once for the
// program's life: a caption drawn every tick would otherwise make its font
// every tick.
HFONT game_font(const Font& font) {
  static std::map<std::pair<int, bool>, HFONT> made;
  HFONT& slot = made[{font_pixels(font), font.bold}];
  if (!slot)
    slot = CreateFontW(-font_pixels(font), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
                       wide(kGameFace).c_str());
  return slot;
}

class GdiCanvas final : public Canvas {
 public:
  explicit GdiCanvas(HDC dc) : dc_(dc) {}

  void fill_rect(const PixelRect& r, Rgb rgb) override {
    const RECT rect{r.x, r.y, r.x + r.width, r.y + r.height};
    HBRUSH brush = CreateSolidBrush(gdi_colour(rgb));
    FillRect(dc_, &rect, brush);
    DeleteObject(brush);
  }

  void shape(ShapeKind kind, const PixelRect& r, const PixelRect& outline, std::optional<Rgb> fill,
             std::optional<Pen> pen, float corner_radius) override {
    Selected brush(dc_, fill ? CreateSolidBrush(gdi_colour(*fill)) : GetStockObject(NULL_BRUSH));
    Selected outline_pen(dc_, pen ? make_pen(*pen) : GetStockObject(NULL_PEN));
    const bool ink = pen.has_value();
    // In the advanced graphics mode a figure includes its right and bottom
    // edges: an outlined one runs along its outline, pixel to pixel; a plain
    // one covers its pixels.
    const int x2 = ink ? outline.x + outline.width : r.x + r.width - 1;
    const int y2 = ink ? outline.y + outline.height : r.y + r.height - 1;
    switch (kind) {
      case ShapeKind::Rectangle: Rectangle(dc_, r.x, r.y, x2, y2); break;
      case ShapeKind::RoundedRectangle: {
        const int corner = static_cast<int>(std::lround(2 * corner_radius));
        RoundRect(dc_, r.x, r.y, x2, y2, corner, corner);
        break;
      }
      case ShapeKind::Oval: Ellipse(dc_, r.x, r.y, x2, y2); break;
    }
  }

  void line(int x1, int y1, int x2, int y2, const Pen& line_pen) override {
    Selected pen(dc_, make_pen(line_pen));
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
  }

  float text_width(std::string_view text, const Font& font) override {
    const HGDIOBJ old = SelectObject(dc_, game_font(font));
    const std::wstring line = wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, line.c_str(), static_cast<int>(line.size()), &size);
    SelectObject(dc_, old);
    return static_cast<float>(size.cx);
  }

  // GDI starts text on a whole pixel, the fraction dropped.
  void text(float x, int baseline, std::string_view text, const Font& font, Rgb ink, const PixelRect& c) override {
    const HGDIOBJ old = SelectObject(dc_, game_font(font));
    SetTextColor(dc_, gdi_colour(ink));
    SetBkMode(dc_, TRANSPARENT);
    SetTextAlign(dc_, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
    const RECT clip{c.x, c.y, c.x + c.width, c.y + c.height};
    const std::wstring line = wide(text);
    ExtTextOutW(dc_, static_cast<int>(std::floor(x)), baseline, ETO_CLIPPED, &clip, line.c_str(), static_cast<UINT>(line.size()), nullptr);
    SelectObject(dc_, old);
  }

 private:
  HDC dc_;
};

}  // namespace

GameFonts::GameFonts(HINSTANCE instance) {
  // The resource ids of app/windows/fonts.rc.in; 10 is RT_RCDATA.
  constexpr int kResources[] = {101, 102};
  for (int i = 0; i < 2; ++i) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(kResources[i]), MAKEINTRESOURCEW(10));
    if (!found) continue;
    DWORD installed = 0;
    fonts_[i] = AddFontMemResourceEx(LockResource(LoadResource(instance, found)), SizeofResource(instance, found),
                                     nullptr, &installed);
  }
}

GameFonts::~GameFonts() {
  for (HANDLE font : fonts_)
    if (font) RemoveFontMemResourceEx(font);
}

RECT device_rect(const PixelRect& pixels, double scale) {
  return {static_cast<LONG>(std::floor(pixels.x * scale)), static_cast<LONG>(std::floor(pixels.y * scale)),
          static_cast<LONG>(std::ceil((pixels.x + pixels.width) * scale)),
          static_cast<LONG>(std::ceil((pixels.y + pixels.height) * scale))};
}

void paint_form(HDC dc, const Form& form, const PixelRect& dirty, double scale, int inset) {
  const int saved = SaveDC(dc);
  const RECT device = device_rect({dirty.x + inset, dirty.y + inset, dirty.width, dirty.height}, scale);
  HRGN clip = CreateRectRgnIndirect(&device);
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
  SetGraphicsMode(dc, GM_ADVANCED);
  const auto offset = static_cast<FLOAT>(inset * scale);
  const XFORM transform{static_cast<FLOAT>(scale), 0, 0, static_cast<FLOAT>(scale), offset, offset};
  SetWorldTransform(dc, &transform);
  GdiCanvas canvas(dc);
  draw_form(form, dirty, canvas);
  RestoreDC(dc, saved);
}
