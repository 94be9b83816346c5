// The hit view: flies a batted ball over the field and settles the hit.
#pragma once

#include "core/forms/form.h"
#include "core/integer.h"

class HitViewForm final : public Form {
 public:
  HitViewForm();

  // Control and variable names are the game's own; keep their spelling.
  Timer& Timer1 = timer("Timer1");
  Shape& SmallBall = shape("SmallBall");
  Label& Powerlbl = label("Powerlbl");
  Label& Typelbl = label("Typelbl");
  Label& Distancelbl = label("Distancelbl");

  Integer LenGTHBaLL;   // moves made; 200 ends the flight
  Integer HitTOP;       // twips down the field per move: the power
  Integer HitLEFT;      // twips sideways per move
  Integer LeftORRight;  // 1 to the right, 2 to the left
  Integer OneHomer;     // flag: this hit's home run is still to be counted
  Integer HitOver;      // flag: this hit's out is still to be counted

 protected:
  void Form_Load() override;
  void Form_Click() override;
  void Form_Unload(Integer& Cancel) override;
  // The window manager's close is a click: ignored while the ball flies.
  void on_close_request() override { Form_Click(); }

 private:
  void Timer1_Timer();
  void settle();
  void fly();
};
