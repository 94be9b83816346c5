// Every control of the three windows against its layout table, written out
// here as the tables read, row by row front to back, and parsed: names,
// kinds, places, drawing, captions and fonts, and the loaded model's places.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "game/mod_variable.h"
#include "hit_view/hit_view.h"
#include "pitch_screen/diamond.h"
#include "stats_screen/stats.h"
#include "tests/support/scripted_platform.h"

namespace {

// Control | Kind | Place (twips) | Drawing | Caption and font
constexpr const char* kDiamondRows = R"(
    Timer1 | Timer | not drawn | Interval 0, enabled |
    Bat | Shape, oval | 2160, 3720; 135 × 1455 | fill #C0C0C0; outline black 1 px |
    PitchED | Shape, rectangle | -240, 5040; 7095 × 135 | no fill; outline #008000 1 px |
    BallZone2 | Shape, rectangle | 3360, 5040; 2775 × 135 | no fill; outline #008000 1 px |
    BaLLlbl | Label | 5280, 600; 495 × 255 | background #008000 | "0"; bold 8.25 pt
    Label6 | Label | 4695, 600; 480 × 195 | background #008000; right-aligned; auto-size | "Balls:"; bold 8.25 pt
    Label5 | Label | 5040, 4680; 915 × 195 | background #008000; text #FF8000; auto-size | "View Stats"; bold 8.25 pt
    BallZone1 | Shape, rectangle | 0, 5040; 2655 × 135 | no fill; outline #008000 1 px |
    Pitchlbl | Label | 2400, 2040; 1215 × 375 | background #008000; text #000000; centred; hidden | "Strike"; bold 13.5 pt
    StrikeBox | Shape, rectangle | 2640, 5040; 735 × 135 | no fill; outline #008000 1 px |
    Inninglbl | Label | 4440, 120; 855 × 255 | background #008000; right-aligned | "First"; bold 8.25 pt
    Label4 | Label | 5400, 120; 615 × 255 | background #008000 | "Inning"; bold 8.25 pt
    Play2lbl | Label | 960, 480; 1095 × 255 | background #008000 | "Batting"; bold 8.25 pt
    Play1lbl | Label | 960, 120; 1095 × 255 | background #008000 | "Pitching"; bold 8.25 pt
    Label3 | Label | 0, 480; 855 × 255 | background #008000; right-aligned | "Player 2:"; bold 8.25 pt
    Label2 | Label | 0, 120; 855 × 255 | background #008000; right-aligned | "Player 1:"; bold 8.25 pt
    Outlbl | Label | 5280, 1320; 495 × 255 | background #008000 | "0"; bold 8.25 pt
    Strikelbl | Label | 5280, 960; 495 × 255 | background #008000 | "0"; bold 8.25 pt
    Label1(1) | Label | 4710, 1320; 465 × 195 | background #008000; right-aligned; auto-size | "Outs:"; bold 8.25 pt
    Label1(0) | Label | 4515, 960; 660 × 195 | background #008000; right-aligned; auto-size | "Strikes:"; bold 8.25 pt
    TheBall | Shape, circle | 2880, 480; 255 × 255 | fill white; outline black 1 px |
    Line7(1) | Line | (2520, 4320) to (3000, 4680) | white, 8 px |
    Line7(0) | Line | (3000, 4680) to (3480, 4320) | white, 8 px |
    Shape2(1) | Shape, rectangle | 3720, 3720; 855 × 1215 | fill #C0C000; outline black 2 px |
    Shape2(0) | Shape, rectangle | 1440, 3720; 855 × 1215 | fill #C0C000; outline black 2 px |
    Line5 | Line | (2400, 3720) to (2400, 4320) | black, 2 px |
    Line4 | Line | (3600, 3720) to (3600, 4320) | black, 2 px |
    Line3 | Line | (3600, 4320) to (3000, 4800) | black, 2 px |
    Line2 | Line | (2400, 4320) to (3000, 4800) | black, 2 px |
    Line1 | Line | (2400, 3720) to (3600, 3720) | black, 2 px |
    Shape1 | Shape, oval | 2400, 480; 1215 × 255 | fill #C04000; outline black 1 px |
    Shape3 | Shape, rectangle | 2400, 3720; 1215 × 615 | fill white; no outline |
    Shape4(4) | Shape, rounded rectangle | 2880, 4440; 255 × 255 | fill white; no outline |
    Shape4(1) | Shape, rounded rectangle | 2640, 4080; 735 × 495 | fill white; no outline |
    Line6 | Line | (2400, 4320) to (3600, 4320) | white, 2 px |
)";

constexpr const char* kHitViewRows = R"(
    Timer1 | Timer | not drawn | Interval 1, enabled |
    SmallBall | Shape, circle | 2400, 480; 135 × 135 | fill white; outline black 1 px |
    Line3 | Line | (3600, 4560) to (4920, 3720) | #C04000, 3 px |
    Line9 | Line | (4560, 3720) to (3600, 4320) | #00C000, 30 px |
    Label3 | Label | 4080, 4560; 975 × 255 | background #000000; text #FFFFFF | "- 456 Feet"; bold 8.25 pt
    Label6 | Label | 4080, 6600; 975 × 255 | background #000000; text #FFFFFF | "- 672 Feet"; bold 8.25 pt
    Label5 | Label | 4080, 5880; 975 × 255 | background #000000; text #FFFFFF | "- 600 Feet"; bold 8.25 pt
    Label4 | Label | 4080, 5160; 975 × 255 | background black; text #FFFFFF | "- 528 Feet"; bold 8.25 pt
    Powerlbl | Label | 1080, 360; 615 × 255 | background #000000; text #FFFFFF | "0"; bold 8.25 pt
    Label2 | Label | 240, 360; 735 × 255 | background #000000; text #FFFFFF; right-aligned | "Power:"; bold 8.25 pt
    Typelbl | Label | 1560, 120; 1815 × 255 | background #000000; text #FFFFFF; centred; hidden | "FOUL BALL"; bold 12 pt
    BackWall | Line | (1440, 4560) to (3600, 4560) | #C04000, 3 px |
    Line2 | Line | (120, 3720) to (1440, 4560) | #C04000, 3 px |
    Line16 | Line | (960, 3960) to (960, 2880) | #00C000, 20 px |
    Line15 | Line | (1440, 1800) to (720, 3120) | #00C000, 11 px |
    Shape9 | Shape, rectangle | 480, 3120; 615 × 855 | fill #00C000; no outline |
    LeftWall | Line | (1680, 840) to (120, 3720) | #C04000, 3 px |
    Line13 | Line | (1680, 1200) to (240, 3720) | #00C000, 8 px |
    Shape7 | Shape, rectangle | 360, 3360; 615 × 495 | fill #00C000; no outline |
    Line12 | Line | (240, 3600) to (1560, 1200) | #00C000, 8 px |
    RightWall | Line | (3360, 840) to (4920, 3720) | #C04000, 3 px |
    Line11 | Line | (3840, 1800) to (4560, 3240) | #00C000, 8 px |
    Line10 | Line | (4800, 3720) to (240, 3720) | #00C000, 15 px |
    Shape6 | Shape, rectangle | 1200, 1920; 2655 × 2415 | fill #00C000; no outline |
    Shape5 | Shape, rectangle | 3480, 2880; 975 × 1095 | fill #00C000; no outline |
    Line8 | Line | (4080, 2520) to (4680, 3600) | #00C000, 23 px |
    Line7 | Line | (3720, 2280) to (3600, 1440) | #00C000, 11 px |
    Line6 | Line | (3600, 1560) to (3960, 2160) | #00C000, 16 px |
    Shape4 | Shape, rectangle | 960, 2280; 495 × 1935 | fill #00C000; no outline |
    Distancelbl | Label | 1080, 120; 735 × 255 | background #000000; text #FFFFFF | "0"; bold 8.25 pt
    Label1 | Label | 120, 120; 855 × 255 | background #000000; text #FFFFFF; right-aligned | "Distance:"; bold 8.25 pt
    Shape3 | Shape, rectangle | 3600, 2160; 495 × 2055 | fill #00C000; no outline |
    Shape2 | Shape, rectangle | 1440, 1320; 2175 × 3255 | fill #00C000; no outline |
    Shape8 | Shape, rectangle | -120, 3480; 375 × 255 | fill #000000; no outline |
    Line14 | Line | (120, 3600) to (1440, 4440) | #00C000, 13 px |
    Shape1 | Shape, circle | 1080, 480; 2895 × 2175 | fill #00C000; outline #C04000 3 px |
)";

constexpr const char* kStatsRows = R"(
    UnClickerlbl | Label | 0, 0; 4575 × 1575 | transparent background | empty
    Line10 | Line | (4440, 240) to (4440, 1440) | black, 2 px |
    Line9 | Line | (3600, 240) to (3600, 1440) | black, 2 px |
    Line5 | Line | (120, 1440) to (4440, 1440) | black, 2 px |
    Line1 | Line | (120, 960) to (4440, 960) | black, 2 px |
    Strike2lbl | Label | 3720, 1080; 615 × 255 | background #804000; centred | "0"
    Strike1lbl | Label | 3720, 600; 615 × 255 | background #804000; centred | "0"
    Dis2lbl | Label | 2760, 1080; 735 × 255 | background #804000; centred | "0"
    Dis1lbl | Label | 2760, 600; 735 × 255 | background #804000; centred | "0"
    HRuns2lbl | Label | 1680, 1080; 855 × 255 | background #804000; centred | "0"
    HRuns1lbl | Label | 1680, 600; 855 × 255 | background #804000; centred | "0"
    Hits2lbl | Label | 960, 1080; 495 × 255 | background #804000; centred | "0"
    Hits1lbl | Label | 960, 600; 495 × 255 | background #804000; centred | "0"
    Line6 | Line | (840, 240) to (4440, 240) | black, 2 px |
    Line3 | Line | (120, 480) to (4440, 480) | black, 2 px |
    Label8 | Label | 3600, 0; 855 × 255 | background #804000 | "Pitching"; bold 8.25 pt
    Label7 | Label | 2760, 240; 735 × 255 | background #804000; centred | "Distance"
    Label6 | Label | 1680, 240; 855 × 255 | background #804000; centred | "Home Runs"
    Label5 | Label | 840, 0; 735 × 255 | background #804000 | "Batting"; bold 8.25 pt
    Line8 | Line | (2640, 240) to (2640, 1440) | black, 1 px |
    Line7 | Line | (1560, 240) to (1560, 1440) | black, 1 px |
    Label4 | Label | 3720, 240; 615 × 255 | background #804000; centred | "Strikes"
    Label3 | Label | 960, 240; 495 × 255 | background #804000; centred | "Hits"
    Line4 | Line | (120, 1440) to (120, 480) | black, 2 px |
    Line2 | Line | (840, 240) to (840, 1440) | black, 2 px |
    Label2 | Label | 120, 1080; 735 × 255 | background #804000; centred | "Player 2:"
    Label1 | Label | 120, 600; 735 × 255 | background #804000; centred | "Player 1:"
)";

struct Expected {
  std::string name;
  int index = kNoIndex;
  Kind kind = Kind::Label;
  Box box;
  Ends ends;
  std::optional<Rgb> fill;
  std::optional<Rgb> ink = kBlack;
  int pen_px = 1;
  Align align = Align::Left;
  bool visible = true;
  std::string caption;
  Font font;
  int interval = 0;
};

std::vector<std::string> split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + separator.size())
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  for (auto& part : parts) {
    part.erase(0, part.find_first_not_of(' '));
    part.erase(part.find_last_not_of(' ') + 1);
  }
  return parts;
}

Rgb colour(const std::string& word) {
  if (word == "white") return kWhite;
  if (word == "black") return kBlack;
  EXPECT_EQ(word[0], '#') << word;
  return Rgb{static_cast<std::uint32_t>(std::stoul(word.substr(1), nullptr, 16))};
}

Kind kind_of(const std::string& text) {
  if (text == "Timer") return Kind::Timer;
  if (text == "Label") return Kind::Label;
  if (text == "Line") return Kind::Line;
  if (text == "Shape, rectangle") return Kind::Rectangle;
  if (text == "Shape, rounded rectangle") return Kind::RoundedRectangle;
  if (text == "Shape, oval") return Kind::Oval;
  if (text == "Shape, circle") return Kind::Circle;
  ADD_FAILURE() << "unknown kind " << text;
  return Kind::Label;
}

Expected parse(const std::string& line) {
  const auto cells = split(line, "|");
  Expected e;
  // "Label1(1)" is member 1 of the array Label1.
  const auto open = cells[0].find('(');
  e.name = cells[0].substr(0, open);
  if (open != std::string::npos) e.index = std::stoi(cells[0].substr(open + 1));
  e.kind = kind_of(cells[1]);
  if (e.kind == Kind::Line)
    std::sscanf(cells[2].c_str(), "(%f, %f) to (%f, %f)", &e.ends.x1, &e.ends.y1, &e.ends.x2, &e.ends.y2);
  else if (e.kind != Kind::Timer)
    std::sscanf(cells[2].c_str(), "%f, %f; %f \u00d7 %f", &e.box.left, &e.box.top, &e.box.width, &e.box.height);

  for (const std::string& item : split(cells[3], ";")) {
    std::istringstream words(item);
    std::string first, second;
    words >> first >> second;
    if (first == "Interval")
      e.interval = std::stoi(second);
    else if (first == "fill" || first == "background")
      e.fill = colour(second);
    else if (item == "no fill" || item == "transparent background")
      e.fill.reset();
    else if (item == "no outline")
      e.ink.reset();
    else if (first == "outline") {
      e.ink = colour(second);
      words >> e.pen_px;
    } else if (first == "text")
      e.ink = colour(second);
    else if (item == "right-aligned")
      e.align = Align::Right;
    else if (item == "centred")
      e.align = Align::Center;
    else if (item == "auto-size")
      continue;  // the table's sizes already fit the captions, which never change
    else if (item == "hidden")
      e.visible = false;
    else if (e.kind == Kind::Line) {  // "colour, N px"
      e.ink = colour(first.substr(0, first.size() - 1));
      e.pen_px = std::stoi(second);
    } else
      ADD_FAILURE() << "unknown drawing " << item << " of " << e.name;
  }

  const auto caption_and_font = split(cells.size() > 4 ? cells[4] : "", ";");
  if (caption_and_font[0].size() >= 2 && caption_and_font[0].front() == '"')
    e.caption = caption_and_font[0].substr(1, caption_and_font[0].size() - 2);
  if (caption_and_font.size() > 1) {
    std::istringstream font(caption_and_font[1]);
    std::string weight;
    font >> weight >> e.font.points;
    e.font.bold = weight == "bold";
  }
  return e;
}

std::vector<Expected> parse_rows(const char* table) {
  std::vector<Expected> rows;
  std::istringstream lines(table);
  for (std::string line; std::getline(lines, line);)
    if (line.find('|') != std::string::npos) rows.push_back(parse(line));
  return rows;
}

void expect_layout(Form& form, const char* table) {
  form.Show();
  const auto expected = parse_rows(table);
  ASSERT_EQ(form.controls().size(), expected.size()) << form.settings().name;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Expected& e = expected[i];
    const Control& control = *form.controls()[i];
    const ControlRow& row = control.row();
    SCOPED_TRACE(testing::Message() << form.settings().name << " row " << i + 1 << ": " << e.name);
    EXPECT_EQ(row.name, e.name);
    EXPECT_EQ(row.index, e.index);
    EXPECT_EQ(row.kind, e.kind);
    EXPECT_EQ(row.fill, e.fill);
    EXPECT_EQ(row.ink, e.ink);
    EXPECT_EQ(row.pen_px, e.pen_px);
    EXPECT_EQ(row.align, e.align);
    if (e.kind == Kind::Line) {
      EXPECT_EQ(row.ends.x1, e.ends.x1);
      EXPECT_EQ(row.ends.y1, e.ends.y1);
      EXPECT_EQ(row.ends.x2, e.ends.x2);
      EXPECT_EQ(row.ends.y2, e.ends.y2);
    }
    if (const auto* timer = dynamic_cast<const Timer*>(&control)) {
      EXPECT_EQ(timer->Interval, e.interval);
    }
    // Shapes and labels: the loaded model's values, as game code reads them.
    if (const auto* box = dynamic_cast<const Boxed*>(&control)) {
      EXPECT_EQ(box->Left, e.box.left);
      EXPECT_EQ(box->Top, e.box.top);
      EXPECT_EQ(box->Width, e.box.width);
      EXPECT_EQ(box->Height, e.box.height);
      EXPECT_EQ(box->Visible, e.visible);
    }
    if (e.kind == Kind::Label) {
      EXPECT_EQ(row.caption, e.caption);  // a load handler may write a figure over it
      EXPECT_EQ(row.font.points, e.font.points);
      EXPECT_EQ(row.font.bold, e.font.bold);
    }
  }
}

class Layouts : public ::testing::Test {
 protected:
  Layouts() { reset_process_state(); }
  ~Layouts() override { reset_process_state(); }
  ScriptedPlatform platform;
};

}  // namespace

// The window itself: caption, client area in twips, background, border, keys.
struct Window {
  std::string_view caption;
  float width, height;
  Rgb background;
  Border border;
  bool takes_keys;
};

void expect_window(const Form& form, const Window& w) {
  const FormSettings& s = form.settings();
  EXPECT_EQ(s.caption, w.caption);
  EXPECT_EQ(s.client_width, w.width);
  EXPECT_EQ(s.client_height, w.height);
  EXPECT_EQ(s.background, w.background);
  EXPECT_EQ(s.border, w.border);
  EXPECT_EQ(s.takes_keys, w.takes_keys);
}

TEST_F(Layouts, PitchScreenHasEveryRowOfItsTable) {
  expect_layout(Diamond(), kDiamondRows);
  expect_window(Diamond(), {"Diamond", 6030, 5250, Rgb{0x008000}, Border::FixedWithTitle, true});
}

TEST_F(Layouts, HitViewHasEveryRowOfItsTable) {
  expect_layout(HitView(), kHitViewRows);
  expect_window(HitView(), {"", 5055, 6885, kBlack, Border::Thin, false});
}

TEST_F(Layouts, StatsScreenHasEveryRowOfItsTable) {
  expect_layout(Stats(), kStatsRows);
  expect_window(Stats(), {"", 4530, 1530, Rgb{0x804000}, Border::Thin, false});
}
