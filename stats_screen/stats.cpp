#include "stats_screen/stats.h"

#include "core/convert.h"
#include "game/mod_variable.h"
#include "stats_screen/stats_layout.h"

StatsForm::StatsForm() : Form(kStatsSettings, stats_layout()) {
  UnClickerlbl.on_click = [this] { UnClickerlbl_Click(); };
}

void StatsForm::Form_Load() {
  const auto& m = ModVariable;
  Hits1lbl.Caption = to_text(m.Hits1);
  Hits2lbl.Caption = to_text(m.Hits2);
  HRuns1lbl.Caption = to_text(m.HomeRuns1);
  HRuns2lbl.Caption = to_text(m.HomeRuns2);
  Dis1lbl.Caption = double_to_text(m.LongDist1);
  Dis2lbl.Caption = double_to_text(m.LongDist2);
  Strike1lbl.Caption = to_text(m.Strikes1);
  Strike2lbl.Caption = to_text(m.Strikes2);
}

void StatsForm::UnClickerlbl_Click() { Unload(); }
