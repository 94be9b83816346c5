// The Qt platform, offscreen: pixels at layout points, window kinds, keys,
// clicks and the message box.
#include "core/qt/qt_platform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <map>
#include <string>
#include <vector>

#include "core/qt/form_window.h"
#include "core/forms/draw.h"
#include "core/forms/keys.h"
#include "core/qt/key_codes.h"
#include "core/qt/platform_choice.h"
#include "core/qt/render.h"
#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"

namespace {

class QtGame : public ::testing::Test {
 protected:
  QtGame() {
    reset_process_state();
    Diamond().Show();
  }
  ~QtGame() override { reset_process_state(); }
  FormWindow& window(Form& form) { return QtPlatform::instance()->window(form); }
};

QImage render(Form& form) {
  QImage image(client_size(form), QImage::Format_RGB32);
  QPainter painter(&image);
  render_form(painter, form);
  return image;
}

// The colour at a point given in twips.
QRgb at(const QImage& image, float x, float y) { return image.pixel(to_pixels(x), to_pixels(y)) & 0xFFFFFF; }

// How many pixels of this colour lie in a rectangle given in twips.
int count(const QImage& image, float left, float top, float width, float height, QRgb colour) {
  int n = 0;
  for (int y = to_pixels(top); y < to_pixels(top + height); ++y)
    for (int x = to_pixels(left); x < to_pixels(left + width); ++x)
      n += (image.pixel(x, y) & 0xFFFFFF) == colour;
  return n;
}

QPoint pixel(const FormWindow& window, float x, float y) {
  const int border = border_pixels(window.form());
  return {to_pixels(x) + border, to_pixels(y) + border};
}

}  // namespace

TEST_F(QtGame, PitchScreenDrawsFieldPlateBoxesBatAndBallAtTheirPlaces) {
  const QImage image = render(Diamond());
  EXPECT_EQ(image.size(), QSize(402, 350));
  EXPECT_EQ(at(image, 600, 2500), 0x008000u);   // the field
  EXPECT_EQ(at(image, 3000, 615), 0xFFFFFFu);   // the ball on the mound
  EXPECT_EQ(at(image, 2550, 615), 0xC04000u);   // the mound beside it
  EXPECT_EQ(at(image, 3000, 4000), 0xFFFFFFu);  // the plate
  EXPECT_EQ(at(image, 3000, 3720), 0x000000u);  // its top edge
  EXPECT_EQ(at(image, 1800, 4300), 0xC0C000u);  // the left box
  EXPECT_EQ(at(image, 4200, 4300), 0xC0C000u);  // the right box
  EXPECT_EQ(at(image, 2227, 4400), 0xC0C0C0u);  // the bat
  // The zones along the bottom cannot be seen: their outlines are field green.
  for (float x : {0.f, 1500.f, 2640.f, 3000.f, 3360.f, 5000.f, 6015.f})
    for (float y : {5040.f, 5100.f, 5160.f}) EXPECT_EQ(at(image, x, y), 0x008000u) << x << "," << y;
}

TEST_F(QtGame, HitViewDrawsTheFieldWallsAndBall) {
  HitView().Show();
  const QImage image = render(HitView());
  EXPECT_EQ(image.size(), QSize(337, 459));
  EXPECT_EQ(at(image, 2467, 547), 0xFFFFFFu);                  // the ball at its start
  EXPECT_EQ(at(image, 2527, 1500), 0x00C000u);                 // the grass
  EXPECT_EQ(at(image, 2500, 4560), 0xC04000u);                 // the back wall
  EXPECT_EQ(at(image, 2500, 6000), 0x000000u);                 // beyond the field
  EXPECT_EQ(at(image, -100 + 240, 3600), 0x000000u);           // the black patch
  EXPECT_GT(count(image, 120, 120, 855, 255, 0xFFFFFF), 20);   // "Distance:" in white
  EXPECT_EQ(count(image, 1560, 120, 1815, 255, 0xFFFFFF), 0);  // the result banner hidden
  HitView().Typelbl.Visible = true;
  EXPECT_GT(count(render(HitView()), 1560, 120, 1815, 255, 0xFFFFFF), 20);
}

TEST_F(QtGame, StatsDrawsItsGridOnBrown) {
  Stats().Show();
  const QImage image = render(Stats());
  EXPECT_EQ(image.size(), QSize(302, 102));
  EXPECT_EQ(at(image, 60, 60), 0x804000u);
  EXPECT_EQ(at(image, 2000, 480), 0x000000u);               // a rule
  EXPECT_EQ(at(image, 3600, 1200), 0x000000u);              // the heavy rule before "Strikes"
  EXPECT_GT(count(image, 840, 0, 735, 200, 0x000000), 20);  // "Batting" in black, above the rule
}

// Controls drawn from their pictures give the very pixels of a direct draw,
// at one and two device pixels per pixel, with the hit view's ball in flight.
TEST_F(QtGame, PicturesOfUnchangedControlsGiveTheSamePixels) {
  HitView().Show();
  HitView().SmallBall.Top = 3000;
  for (Form* form : std::initializer_list<Form*>{&Diamond(), &HitView(), &Stats()}) {
    for (const int scale : {1, 2}) {
      const auto draw = [&](ControlPictures* pictures) {
        QImage image(client_size(*form) * scale, QImage::Format_RGB32);
        image.setDevicePixelRatio(scale);
        QPainter painter(&image);
        render_form(painter, *form, QRect(QPoint(), client_size(*form)), pictures);
        return image;
      };
      ControlPictures pictures;
      draw(&pictures);  // the first draw makes no picture, the second does
      EXPECT_EQ(draw(&pictures), draw(nullptr)) << form->settings().name << " at scale " << scale;
    }
  }
  HitView().Unload();
}

TEST_F(QtGame, WindowsHaveTheirKindsSizesAndPlaces) {
  FormWindow& main = window(Diamond());
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(main.windowTitle(), "Diamond");
  EXPECT_EQ(main.minimumSize(), main.maximumSize());
  EXPECT_FALSE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(main.windowFlags() & Qt::WindowMaximizeButtonHint);

  HitView().Show();
  FormWindow& hit = window(HitView());
  EXPECT_TRUE(hit.windowFlags() & Qt::FramelessWindowHint);
  // Out of every window manager's reach, and never taking the keyboard.
  EXPECT_TRUE(hit.windowFlags() & Qt::X11BypassWindowManagerHint);
  EXPECT_TRUE(hit.windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_EQ(hit.size(), QSize(337 + 2, 459 + 2));  // a 1-pixel border
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(hit.x(), screen.x() + (screen.width() - hit.width()) / 2);
  HitView().Unload();
  EXPECT_FALSE(hit.isVisible());
}

TEST_F(QtGame, KeypadKeysPitchAndTheTimerTicks) {
  FormWindow& main = window(Diamond());
  QTest::keyClick(&main, Qt::Key_Home, Qt::KeypadModifier);  // keypad 7 with Num Lock off
  EXPECT_EQ(ModVariable.PitchType, 0);
  QTest::keyClick(&main, Qt::Key_8, Qt::KeypadModifier);
  EXPECT_EQ(ModVariable.PitchType, 2);
  EXPECT_TRUE(QTest::qWaitFor([] { return Diamond().TheBall.Top >= 780; }, 5000));
}

TEST_F(QtGame, ClickingViewStatsOpensTheStatsWindowAndAClickClosesIt) {
  FormWindow& main = window(Diamond());
  QTest::mouseClick(&main, Qt::LeftButton, {}, pixel(main, 5100, 4700));
  ASSERT_TRUE(Stats().loaded());
  FormWindow& stats = window(Stats());
  EXPECT_TRUE(stats.isVisible());
  QTest::mouseClick(&stats, Qt::LeftButton, {}, pixel(stats, 2000, 700));
  EXPECT_FALSE(Stats().loaded());
  EXPECT_FALSE(stats.isVisible());
}

// The box opens over the game as the switch left it: the pitch screen, as
// the screen shows it, soon draws the roles swapped.
TEST_F(QtGame, TheSwitchBoxIsModalWithTitlePromptAndAPlainOkButtonOverTheGameAsItIs) {
  FormWindow& main = window(Diamond());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  QCoreApplication::processEvents();
  QString title, text;
  bool icon_free = false, screen_current = false;
  int looks = 0;
  QTimer dismiss;
  QObject::connect(&dismiss, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    title = box->windowTitle();
    text = box->text();
    const auto buttons = box->buttons();
    icon_free = box->icon() == QMessageBox::NoIcon && buttons.size() == 1 && buttons[0]->icon().isNull();
    const QImage shown = main.screen()->grabWindow(main.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    screen_current = shown == render(Diamond());
    if (screen_current || ++looks == 100) buttons[0]->click();
  });
  dismiss.start(10);
  SwitchSides();
  EXPECT_EQ(title, "Switch Positions");
  EXPECT_EQ(text, "Switch Positions.");
  EXPECT_TRUE(icon_free);
  EXPECT_TRUE(screen_current);
}

TEST_F(QtGame, TheWindowManagersCloseOfTheHitViewWaitsForTheLanding) {
  HitView().Show();
  FormWindow& hit = window(HitView());
  hit.close();  // as Alt+F4 asks
  EXPECT_TRUE(HitView().loaded());
  EXPECT_TRUE(hit.isVisible());
  HitView().LenGTHBaLL = 200;
  hit.close();
  EXPECT_FALSE(HitView().loaded());
  EXPECT_FALSE(hit.isVisible());
}

TEST_F(QtGame, ThePitchScreenGetsTheKeyboardBackWhenAnotherWindowCloses) {
  FormWindow& main = window(Diamond());
  for (Form* other : {static_cast<Form*>(&Stats()), static_cast<Form*>(&HitView())}) {
    other->Show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window(*other); }, 2000));
    other->Unload();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main; }, 2000))
        << other->settings().name;
  }
}

TEST_F(QtGame, TheWindowManagersCloseDismissesTheSwitchBox) {
  int boxes_seen = 0;
  QTimer close_it;
  QObject::connect(&close_it, &QTimer::timeout, [&] {
    if (auto* box = QApplication::activeModalWidget()) {
      ++boxes_seen;
      box->close();
    }
  });
  close_it.start(10);
  announce_switch();  // returns once the box is gone
  EXPECT_EQ(boxes_seen, 1);
}

TEST(QtKeys, KeypadDigitsCountOnlyWithNumLock) {
  EXPECT_EQ(virtual_key_code(Qt::Key_7, Qt::KeypadModifier), 103);
  EXPECT_EQ(virtual_key_code(Qt::Key_8, Qt::KeypadModifier), vk::kNumpad8);
  EXPECT_EQ(virtual_key_code(Qt::Key_9, Qt::KeypadModifier), 105);
  EXPECT_EQ(virtual_key_code(Qt::Key_Home, Qt::KeypadModifier), 36);  // Num Lock off
  EXPECT_EQ(virtual_key_code(Qt::Key_Up, Qt::KeypadModifier), 38);
  EXPECT_EQ(virtual_key_code(Qt::Key_PageUp, Qt::KeypadModifier), 33);
  EXPECT_EQ(virtual_key_code(Qt::Key_7, Qt::NoModifier), '7');  // the top row
  EXPECT_EQ(virtual_key_code(Qt::Key_Space, Qt::NoModifier), 32);
  EXPECT_EQ(virtual_key_code(Qt::Key_Shift, Qt::ShiftModifier), 16);
  // Qt's Wayland plugin gives keypad digits without the keypad modifier;
  // their key symbols (KP_7, KP_9) still tell them from the top row's.
  EXPECT_EQ(virtual_key_code(Qt::Key_7, Qt::NoModifier, 0xFFB7), 103);
  EXPECT_EQ(virtual_key_code(Qt::Key_9, Qt::NoModifier, 0xFFB9), 105);
  EXPECT_EQ(virtual_key_code(Qt::Key_7, Qt::NoModifier, 0x0037), '7');    // the top row's 7
  EXPECT_EQ(virtual_key_code(Qt::Key_Home, Qt::NoModifier, 0xFF95), 36);  // KP_Home: Num Lock off
}

TEST(QtPlatformChoice, RunsOnXInAWaylandSessionThatOffersItUnlessTheUserChose) {
  struct Case {
    std::map<std::string, std::string> environment;
    std::vector<std::string> arguments;
    std::string chosen;
  };
  const Case cases[] = {
      {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {}, "xcb;wayland"},
      {{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}}, {}, "xcb;wayland"},
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, {}, ""},                // no X server offered
      {{{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, {}, ""},  // an X session
      {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}, {}, ""},
      {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {"-platform", "wayland"}, ""},
      {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, {"--platform=wayland"}, ""},
      {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}}, {}, ""},  // set but empty
  };
  for (const Case& c : cases) {
    std::vector<std::string> owned{"diamond"};
    owned.insert(owned.end(), c.arguments.begin(), c.arguments.end());
    std::vector<char*> argv;
    for (auto& a : owned) argv.push_back(a.data());
    const auto lookup = [&](const char* name) -> const char* {
      const auto it = c.environment.find(name);
      return it == c.environment.end() ? nullptr : it->second.c_str();
    };
    EXPECT_EQ(choose_qt_platform(lookup, argv), c.chosen) << testing::PrintToString(c.environment);
  }
}

int main(int argc, char** argv) {
  // Headless unless a display is asked for, also when ctest lists the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QtPlatform platform;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
