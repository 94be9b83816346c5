// The Qt platform, offscreen: pixels at layout points, keys, clicks, boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "core/mod_variable.h"
#include "core/qt/form_window.h"
#include "core/qt/key_codes.h"
#include "core/qt/qt_platform.h"
#include "core/qt/render.h"
#include "pitch_screen/diamond.h"

namespace {

QImage render(Form& form) {
  QImage image(client_size(form), QImage::Format_RGB32);
  QPainter painter(&image);
  render_form(painter, form);
  return image;
}

// The colour at a point given in twips.
QRgb at(const QImage& image, float x, float y) {
  return image.pixel(to_pixels(x), to_pixels(y)) & 0xFFFFFF;
}

}  // namespace

TEST(QtPitchScreen, DrawsTheFieldPlateBoxesBatAndBallAtTheirPlaces) {
  Diamond().Show();
  const QImage image = render(Diamond());
  EXPECT_EQ(image.size(), QSize(402, 350));
  EXPECT_EQ(at(image, 600, 2500), 0x008000u);   // the field
  EXPECT_EQ(at(image, 3000, 615), 0xFFFFFFu);   // the ball on the mound
  EXPECT_EQ(at(image, 2550, 615), 0xC04000u);   // the mound beside it
  EXPECT_EQ(at(image, 3000, 4000), 0xFFFFFFu);  // the plate
  EXPECT_EQ(at(image, 1800, 4300), 0xC0C000u);  // the left box
  EXPECT_EQ(at(image, 4200, 4300), 0xC0C000u);  // the right box
  EXPECT_EQ(at(image, 2227, 4400), 0xC0C0C0u);  // the bat
  // The zones along the bottom cannot be seen: their outlines are field green.
  for (float x : {0.f, 1500.f, 2640.f, 3000.f, 3360.f, 5000.f, 6015.f})
    for (float y : {5040.f, 5100.f, 5160.f}) EXPECT_EQ(at(image, x, y), 0x008000u) << x << "," << y;
}

TEST(QtPitchScreen, ShowsCentredAndFixedWithItsTitle) {
  FormWindow& window = QtPlatform::instance()->window(Diamond());
  Diamond().Show();
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "Diamond");
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.size(), QSize(402, 350));
}

TEST(QtKeys, KeypadDigitsCountOnlyWithNumLock) {
  EXPECT_EQ(virtual_key_code(Qt::Key_7, Qt::KeypadModifier), 103);
  EXPECT_EQ(virtual_key_code(Qt::Key_8, Qt::KeypadModifier), 104);
  EXPECT_EQ(virtual_key_code(Qt::Key_9, Qt::KeypadModifier), 105);
  EXPECT_EQ(virtual_key_code(Qt::Key_Home, Qt::KeypadModifier), 36);  // Num Lock off
  EXPECT_EQ(virtual_key_code(Qt::Key_Up, Qt::KeypadModifier), 38);
  EXPECT_EQ(virtual_key_code(Qt::Key_PageUp, Qt::KeypadModifier), 33);
  EXPECT_EQ(virtual_key_code(Qt::Key_7, Qt::NoModifier), '7');  // the top row
  EXPECT_EQ(virtual_key_code(Qt::Key_Space, Qt::NoModifier), 32);
  EXPECT_EQ(virtual_key_code(Qt::Key_Shift, Qt::ShiftModifier), 16);
}

int main(int argc, char** argv) {
  // Headless unless a display is asked for, also when ctest lists the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QtPlatform platform;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
