// The pitch screen: the main window, where pitches are thrown and swung at.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "core/forms/form.h"

class DiamondForm final : public Form {
 public:
  DiamondForm();

  // Waits `duration` seconds, running pending events meanwhile, so timer
  // ticks, keys and clicks happen inside the wait; then runs `then`.
  // A wait begun inside a running one (a swing key pressed during a swing)
  // does not nest on the call stack: it becomes the running loop's innermost
  // wait and TimeOut returns at once. The loop waits it out, runs its `then`
  // and goes back to the wait around it, just as a nested call would return,
  // so a key held down for minutes costs a list entry per repeat, not a frame.
  void TimeOut(double duration, std::function<void()> then = {});

  // What each of kDiamondKeys does.
  struct KeyBinding {
    int key;
    void (*act)(DiamondForm& form);
  };
  static const std::array<KeyBinding, 5> kKeyBindings;

  // Control names are the game's own; keep their spelling.
  Timer& Timer1 = timer("Timer1");
  Shape& Bat = shape("Bat");
  Shape& PitchED = shape("PitchED");
  Shape& BallZone2 = shape("BallZone2");
  Label& BaLLlbl = label("BaLLlbl");
  Label& Label5 = label("Label5");
  Shape& BallZone1 = shape("BallZone1");
  Label& Pitchlbl = label("Pitchlbl");
  Shape& StrikeBox = shape("StrikeBox");
  Label& Inninglbl = label("Inninglbl");
  Label& Play2lbl = label("Play2lbl");
  Label& Play1lbl = label("Play1lbl");
  Label& Outlbl = label("Outlbl");
  Label& Strikelbl = label("Strikelbl");
  Shape& TheBall = shape("TheBall");

 protected:
  void Form_Load() override;
  void Form_KeyDown(Integer KeyCode, Integer Shift) override;

 private:
  void Timer1_Timer();
  void Label5_Click();

  void throw_pitch(int kind);
  void swing(double seconds);
  bool bat_meets_ball() const;
  void contact();
  void move_hit_ball();
  void hand_over();
  void move_pitch();
  void write_count_labels();

  struct Wait {
    float start;  // seconds since midnight
    double duration;
    std::function<void()> then;
  };
  std::vector<Wait> waits_;  // running waits, innermost last
};
