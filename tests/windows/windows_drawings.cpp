// Draws the staged forms as the Windows platform draws them, through GDI at
// one and two device pixels per pixel: FOLDER/STATE@SCALE.ppm, for
// drawings_test.mjs to compare with the desktop's drawings.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/forms/draw.h"
#include "core/windows/gdi_canvas.h"
#include "tests/support/staged_forms.h"

namespace {

bool save(const std::string& path, HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
  if (!GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS)) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", width, height);
  for (std::size_t at = 0; at < pixels.size(); at += 4) {
    const unsigned char rgb[3] = {pixels[at + 2], pixels[at + 1], pixels[at]};
    std::fwrite(rgb, 1, 3, file);
  }
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const GameFonts fonts(GetModuleHandleW(nullptr));
  const std::string folder = argv[1];
  bool saved = true;
  stage_forms([&](std::string_view state, const Form& form) {
    const PixelRect client = client_pixels(form);
    for (const int scale : {1, 2}) {
      HDC screen = GetDC(nullptr);
      HDC dc = CreateCompatibleDC(screen);
      HBITMAP bitmap = CreateCompatibleBitmap(screen, client.width * scale, client.height * scale);
      ReleaseDC(nullptr, screen);
      HGDIOBJ old = SelectObject(dc, bitmap);
      paint_form(dc, form, client, scale);
      SelectObject(dc, old);
      saved &= save(folder + "/" + std::string(state) + "@" + std::to_string(scale) + ".ppm", dc, bitmap,
                    client.width * scale, client.height * scale);
      DeleteObject(bitmap);
      DeleteDC(dc);
    }
  });
  return saved ? 0 : 1;
}
