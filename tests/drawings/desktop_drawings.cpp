// Draws the staged forms as the desktop draws them, offscreen, at one and two
// device pixels per pixel: FOLDER/STATE@SCALE.png, for the browser's drawings
// to be compared with; and FOLDER/STATE.json, where captions and curves are
// drawn, in client pixels: {"captions": [[x, y, width, height, ink], ...],
// "curves": [[x, y, width, height], ...]}.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <cstdio>

#include "core/qt/qt_platform.h"
#include "core/qt/render.h"
#include "tests/support/staged_forms.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  load_game_fonts();
  const QString folder = QString::fromLocal8Bit(argv[1]);
  bool saved = true;
  stage_forms([&](std::string_view state, const Form& form) {
    for (const int scale : {1, 2}) {
      QImage image(client_size(form) * scale, QImage::Format_RGB32);
      image.setDevicePixelRatio(scale);
      QPainter painter(&image);
      render_form(painter, form);
      painter.end();
      saved &= image.save(QStringLiteral("%1/%2@%3.png").arg(folder, to_qstring(state)).arg(scale));
    }
    const DrawnParts parts = drawn_parts(form);
    const auto rect = [](const PixelRect& r) {
      return QStringLiteral("%1, %2, %3, %4").arg(r.x).arg(r.y).arg(r.width).arg(r.height);
    };
    QStringList captions, curves;
    for (const CaptionBox& box : parts.captions)
      captions << QStringLiteral("[%1, %2]").arg(rect(box.rect)).arg(box.ink.value);
    for (const PixelRect& curve : parts.curves) curves << QStringLiteral("[%1]").arg(rect(curve));
    const QString json = QStringLiteral("{\"captions\": [%1], \"curves\": [%2]}\n")
                             .arg(captions.join(QStringLiteral(", ")), curves.join(QStringLiteral(", ")));
    QFile file(QStringLiteral("%1/%2.json").arg(folder, to_qstring(state)));
    saved &= file.open(QIODevice::WriteOnly) && file.write(json.toUtf8()) > 0;
  });
  return saved ? 0 : 1;
}
