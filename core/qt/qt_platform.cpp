#include "core/qt/qt_platform.h"

#include <fontconfig/fontconfig.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <chrono>
#include <cmath>
#include <thread>

#include "core/forms/form.h"
#include "core/qt/form_window.h"
#include "core/qt/render.h"
#include "core/qt/tick_timer.h"
#include "core/qt/window_manager.h"

namespace {

using namespace std::chrono_literals;

QtPlatform* the_platform = nullptr;

// The side switch's box, centred on the screen like the game's windows.
class SwitchBox final : public QMessageBox {
 public:
  int exec() override {
    adjustSize();
    centring_.shown(*this);
    return QMessageBox::exec();
  }

 protected:
  bool event(QEvent* event) override {
    centring_.event(*this, event->type());
    return QMessageBox::event(event);
  }

 private:
  Centring centring_;
};

}  // namespace

// The stand-in for the classic dialog font travels inside the program, so
// the game looks the same whatever fonts the machine has. It is the only
// font the game draws with: an empty font configuration of the game's own
// spares reading the system's (its files and every installed font, a third
// of the start-up) and keeps a desktop's font rules out of the game's look.
// Resource set-up must run from the global namespace.
void load_game_fonts() {
  if (FcConfig* own = FcConfigCreate()) {
    FcConfigSetCurrent(own);
    FcConfigDestroy(own);  // the current configuration holds its own reference
  }
  Q_INIT_RESOURCE(fonts);
  QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSansCondensed.ttf"));
  QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSansCondensed-Bold.ttf"));
}

QtPlatform::QtPlatform() {
  load_game_fonts();
  the_platform = this;
  // The unmanaged windows stay in front of everything, as menus do; while
  // another program is active they go behind it, and they come back with
  // the game.
  activation_ = QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged,
                                 [this](Qt::ApplicationState state) { follow_activation(state); });
}

QtPlatform::~QtPlatform() {
  QObject::disconnect(activation_);
  the_platform = nullptr;
}

QtPlatform* QtPlatform::instance() { return the_platform; }

void QtPlatform::follow_activation(Qt::ApplicationState state) {
  for (auto& [form, window] : windows_) {
    if (!window->isVisible() || form->settings().border != Border::Thin) continue;
    if (state == Qt::ApplicationActive)
      window->raise();
    else
      window->lower();
  }
}

int QtPlatform::run(Form& main_form) {
  main_form_ = &main_form;
  main_form.Show();
  return QApplication::exec();
}

FormWindow& QtPlatform::window(Form& form) {
  auto& slot = windows_[&form];
  if (!slot) slot = std::make_unique<FormWindow>(form, [this](FormWindow& window) { window_closed(window); });
  return *slot;
}

void QtPlatform::window_closed(FormWindow& window) {
  if (&window.form() == main_form_)
    quit();
  else
    window.form().close_request();
}

// Ends the game whatever is running: waits return at once, no timer ticks
// again, every window closes and the event loops unwind with exit code 0.
void QtPlatform::quit() {
  closing_ = true;
  for (auto& [timer, tick] : timers_) tick->stop();
  for (auto& [form, window] : windows_) window->hide();
  QApplication::exit(0);
}

// Runs what is pending; with nothing pending, waits a little instead of
// spinning, which keeps a swing's wait cheap without delaying its ticks. The
// sleep cannot be woken by input, so it lasts at most kMaxIdleWait.
void QtPlatform::do_events(std::chrono::microseconds max_wait) {
  auto* dispatcher = QAbstractEventDispatcher::instance();
  if (dispatcher && dispatcher->processEvents(QEventLoop::AllEvents)) return;
  std::this_thread::sleep_for(std::min<std::chrono::microseconds>(max_wait, kMaxIdleWait));
}

void QtPlatform::run_pending_events() {
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    dispatcher->processEvents(QEventLoop::AllEvents);
}

void QtPlatform::message_box(std::string_view prompt, std::string_view title) {
  if (closing_) return;
  SwitchBox box;
  box.setIcon(QMessageBox::NoIcon);
  box.setWindowTitle(to_qstring(title));
  box.setText(to_qstring(prompt));
  box.setStyleSheet(QStringLiteral("QLabel { min-width: %1px; }").arg(kBoxMinWidthPixels));
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  ok->setIcon(QIcon());
  box.exec();
}

void QtPlatform::show_form(Form& form) {
  if (closing_) return;
  FormWindow& w = window(form);
  if (!w.isVisible()) w.show_centred();
  w.raise();
  // Only the window that takes keys takes the keyboard; the others leave it
  // where it is, so the pitcher goes on while they are open.
  if (form.settings().takes_keys) w.activateWindow();
}

// The window that takes keys (the pitch screen) gets the keyboard back when
// another window closes, as a desktop gives it back to the window that was
// active before.
void QtPlatform::hide_form(Form& form) {
  const auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  it->second->hide();
  if (closing_ || form.settings().takes_keys) return;
  for (auto& [other, window] : windows_) {
    // Queued: hiding the active window takes the activation away afterwards.
    if (other->settings().takes_keys && window->isVisible())
      QMetaObject::invokeMethod(window.get(), &QWidget::activateWindow, Qt::QueuedConnection);
  }
}

void QtPlatform::timer_changed(Timer& timer) {
  auto& slot = timers_[&timer];
  if (!slot) slot = std::make_unique<TickTimer>([&timer] { timer.tick(); });
  if (!timer.running() || closing_) {
    slot->stop();
    return;
  }
  const auto period = timer_period(timer.Interval);
  if (!slot->active() || slot->period() != period) slot->start(period);
}

void QtPlatform::invalidate(Form& form, const Bounds& twips) {
  if (const auto it = windows_.find(&form); it != windows_.end() && it->second->isVisible())
    it->second->invalidate_pixels(to_pixels(twips));
}

void QtPlatform::forget(Form& form) {
  std::erase_if(timers_, [&](const auto& entry) { return &entry.first->form() == &form; });
  windows_.erase(&form);
}
