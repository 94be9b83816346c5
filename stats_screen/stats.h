// The stats screen: both players' figures, read once when it opens.
#pragma once

#include "core/forms/form.h"

class StatsForm final : public Form {
 public:
  StatsForm();

  // Control names are the game's own; keep their spelling.
  Label& UnClickerlbl = label("UnClickerlbl");
  Label& Strike2lbl = label("Strike2lbl");
  Label& Strike1lbl = label("Strike1lbl");
  Label& Dis2lbl = label("Dis2lbl");
  Label& Dis1lbl = label("Dis1lbl");
  Label& HRuns2lbl = label("HRuns2lbl");
  Label& HRuns1lbl = label("HRuns1lbl");
  Label& Hits2lbl = label("Hits2lbl");
  Label& Hits1lbl = label("Hits1lbl");

 protected:
  void Form_Load() override;
  // The window manager's close is a click in the window.
  void on_close_request() override { UnClickerlbl_Click(); }

 private:
  void UnClickerlbl_Click();
};
