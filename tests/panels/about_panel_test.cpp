// The About panel against the stand-in panel services: layout arithmetic,
// markup, drawing, centring and keys.
#include "panels/about_panel.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "standin/panels/panel_host.h"

namespace {

using standin::PanelHost;

// A line list as the panel takes it: the entries and the null after them.
struct Lines {
  explicit Lines(std::vector<std::string> entries) : texts(std::move(entries)) {
    for (const std::string& text : texts) pointers.push_back(text.c_str());
    pointers.push_back(nullptr);
  }
  const char* const* get() const { return pointers.data(); }
  std::vector<std::string> texts;
  std::vector<const char*> pointers;
};

Lines repeated(const std::string& line, int count) {
  return Lines(std::vector<std::string>(count, line));
}

struct Text {
  std::string text;
  int colour, x, y;
  bool operator==(const Text&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Text& t) {
  return out << "\"" << t.text << "\" " << t.colour << " at " << t.x << ","
             << t.y;
}

class AboutPanelTest : public ::testing::Test {
 protected:
  void useLineHeight(int h) {
    host.setDisplayMetrics(
        {PanelHost::kDisplayWidth, PanelHost::kDisplayHeight, h});
  }
  int about(int tag) const {
    return host.panelValue("about", tag).value_or(-9999);
  }

  // The texts drawn since the calls were last cleared, parsed back.
  std::vector<Text> texts() const {
    std::vector<Text> out;
    for (const std::string& call : host.calls()) {
      if (call.rfind("draw.text ", 0) != 0) continue;
      // draw.text "TITLE" "TEXT" COLOUR X Y
      const std::size_t open = call.find('"', call.find('"', 11) + 1);
      const std::size_t close = call.find('"', open + 1);
      Text t;
      t.text = call.substr(open + 1, close - open - 1);
      std::istringstream rest(call.substr(close + 1));
      rest >> t.colour >> t.x >> t.y;
      out.push_back(t);
    }
    return out;
  }
  int countCalls(const std::string& prefix) const {
    int n = 0;
    for (const std::string& call : host.calls())
      if (call.rfind(prefix, 0) == 0) ++n;
    return n;
  }

  PanelHost host;
  lw::PanelFuncs* services = host.services();
};

TEST_F(AboutPanelTest, LayoutFollowsTheSumOfTheLines) {
  struct Case {
    const char* name;
    int lineHeight;
    Lines lines;
    int textTop, width, height;
  };
  // Each "x" line is 7 wide in the stand-in's monospaced text.
  const Case cases[] = {
      {"empty list", 16, Lines({}), 98, 120, 245},
      {"sum 150", 15, repeated("x", 10), 23, 127, 245},
      {"sum 189", 21, repeated("x", 9), 3, 127, 245},
      {"sum 190", 19, repeated("x", 10), 10, 127, 240},
      {"sum 300", 15, repeated("x", 20), 10, 127, 350},
      {"markup of any case counts", 16,
       Lines({"<hDiv>", "<vtab>", "<Yellow>", "abc", "<black>"}), 71, 141, 245},
      {"the widest line sets the width", 16, Lines({"ab", "abcdef", "a"}), 74,
       162, 245},
      {"module text, line height 16", 16,
       Lines({"<YELLOW>", "Spaceball Driver", "<VTAB>", "<BLACK>",
              "Basic Spaceball Input Device Driver", "for Lightwave 3D",
              "<HDIV>", "May 12 2002", "Vexa SpaceBall plug-in project",
              "<HDIV>", "https://vexa-spaceball.example/",
              "spaceball@vexa-spaceball.example"}),
       13, 365, 245},
  };
  for (const Case& c : cases) {
    useLineHeight(c.lineHeight);
    panels::AboutPanel panel(services, "Test", c.lines.get(), nullptr, false);
    EXPECT_EQ(panel.textTop(), c.textTop) << c.name;
    EXPECT_EQ(about(lw::kPanW), c.width) << c.name;
    EXPECT_EQ(about(lw::kPanH), c.height) << c.name;
  }
}

TEST_F(AboutPanelTest, ModuleTextSumsToTenLinesAndTen) {
  // Seven text lines, one gap and two dividers: 10 h + 10. Below the
  // picture's height the text is centred; above it, the panel grows.
  struct Case {
    int lineHeight, textTop, height;
  };
  // 10 h + 10 + 10 against the picture's 200: 180 + 10 and 190 + 10 sit
  // on either side of the edge.
  const Case cases[] = {
      {16, 13, 245}, {17, 8, 245}, {18, 10, 240}, {20, 10, 260}};
  for (const Case& c : cases) {
    useLineHeight(c.lineHeight);
    panels::AboutPanel panel(services, "Test", panels::kAboutText, nullptr,
                             false);
    EXPECT_EQ(panel.textTop(), c.textTop) << "line height " << c.lineHeight;
    EXPECT_EQ(about(lw::kPanH), c.height) << "line height " << c.lineHeight;
  }
}

TEST_F(AboutPanelTest, ModuleTextIsDrawnCentredWithDividersAndColours) {
  useLineHeight(16);
  panels::AboutPanel panel(services, "Test", panels::kAboutText, nullptr,
                           false);
  host.clearCalls();
  panels::drawAboutPanel(panel.panel(), &panel, 0);

  // Text column: left 110, width 365 - 100 - 20 = 245.
  auto centred = [](const std::string& s) {
    return 110 + 245 / 2 - static_cast<int>(s.size()) * 7 / 2;
  };
  const std::vector<Text> expected = {
      {"Spaceball Driver", 4146, centred("Spaceball Driver"), 13},
      {"Basic Spaceball Input Device Driver", 4139, 110, 13 + 32},
      {"for Lightwave 3D", 4139, centred("for Lightwave 3D"), 13 + 48},
      {"May 12 2002", 4139, centred("May 12 2002"), 13 + 64 + 21},
      {"Vexa SpaceBall plug-in project", 4139,
       centred("Vexa SpaceBall plug-in project"), 13 + 80 + 21},
      {"https://vexa-spaceball.example/", 4139,
       centred("https://vexa-spaceball.example/"), 13 + 96 + 42},
      {"spaceball@vexa-spaceball.example", 4139,
       centred("spaceball@vexa-spaceball.example"), 13 + 112 + 42},
  };
  EXPECT_EQ(texts(), expected);

  // Two dividers, 8 below the top of their slots, from 10 inside the
  // column to 10 short of its end.
  std::vector<std::string> boxes;
  for (const std::string& call : host.calls())
    if (call.rfind("draw.box ", 0) == 0) boxes.push_back(call);
  const std::vector<std::string> dividers = {
      "draw.box \"About Test\" 100 100 100 121 84 223 1",
      "draw.box \"About Test\" 0 0 0 120 85 225 1",
      "draw.box \"About Test\" 200 200 200 121 86 223 1",
      "draw.box \"About Test\" 100 100 100 121 137 223 1",
      "draw.box \"About Test\" 0 0 0 120 138 225 1",
      "draw.box \"About Test\" 200 200 200 121 139 223 1",
  };
  EXPECT_EQ(boxes, dividers);

  // The picture at (3, 3), one call per pixel.
  EXPECT_EQ(countCalls("draw.pixel "), 20000);
  EXPECT_EQ(countCalls("draw.pixel \"About Test\""), 20000);
}

TEST_F(AboutPanelTest, EmptyListDrawsOnlyThePicture) {
  Lines none({});
  panels::AboutPanel panel(services, "Test", none.get(), nullptr, false);
  host.clearCalls();
  panels::drawAboutPanel(panel.panel(), &panel, 0);
  EXPECT_EQ(countCalls("draw.pixel "), 20000);
  EXPECT_EQ(countCalls("draw.text "), 0);
  EXPECT_EQ(countCalls("draw.box "), 0);
  const std::string first = "draw.pixel \"About Test\" ";
  ASSERT_FALSE(host.calls().empty());
  // The first stored pixel lands at (3, 3), the last at (102, 202).
  std::vector<std::string> pixels;
  for (const std::string& call : host.calls())
    if (call.rfind(first, 0) == 0) pixels.push_back(call);
  EXPECT_TRUE(pixels.front().ends_with(" 3 3")) << pixels.front();
  EXPECT_TRUE(pixels.back().ends_with(" 102 202")) << pixels.back();
}

TEST_F(AboutPanelTest, MarkupInAnyCaseActsAsMarkup) {
  const char* tokens[][4] = {
      {"<YELLOW>", "<BLACK>", "<HDIV>", "<VTAB>"},
      {"<yellow>", "<black>", "<hdiv>", "<vtab>"},
      {"<YeLLoW>", "<bLACK>", "<HdIv>", "<vTaB>"},
  };
  for (const auto& t : tokens) {
    Lines lines({"a", t[0], "b", t[1], "c", t[2], "d", t[3], "e"});
    panels::AboutPanel panel(services, "Test", lines.get(), nullptr, false);
    host.clearCalls();
    panels::drawAboutPanel(panel.panel(), &panel, 0);
    const std::vector<Text> drawn = texts();
    ASSERT_EQ(drawn.size(), 5u) << t[0] << " " << t[1] << " " << t[2];
    const int top = panel.textTop();
    EXPECT_EQ(drawn[0], (Text{"a", 4139, drawn[0].x, top})) << t[0];
    EXPECT_EQ(drawn[1], (Text{"b", 4146, drawn[1].x, top + 16})) << t[0];
    EXPECT_EQ(drawn[2], (Text{"c", 4139, drawn[2].x, top + 32})) << t[1];
    EXPECT_EQ(drawn[3].y, top + 48 + 21) << t[2];
    EXPECT_EQ(drawn[4].y, top + 64 + 21 + 16) << t[3];
    EXPECT_EQ(countCalls("draw.box "), 3) << t[2];
  }
}

TEST_F(AboutPanelTest, EveryRedrawStartsInBlack) {
  Lines lines({"first", "<YELLOW>", "second"});
  panels::AboutPanel panel(services, "Test", lines.get(), nullptr, false);
  for (int redraw = 0; redraw < 2; ++redraw) {
    host.clearCalls();
    panels::drawAboutPanel(panel.panel(), &panel, 0);
    const std::vector<Text> drawn = texts();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].colour, 4139) << "redraw " << redraw;
    EXPECT_EQ(drawn[1].colour, 4146) << "redraw " << redraw;
  }
}

TEST_F(AboutPanelTest, OpensCentredOnItsParentOrTheDisplay) {
  struct Case {
    const char* name;
    bool withParent;
    int px, py, pw, ph;    // parent, or the display's size
    int expectX, expectY;  // for a 120 x 245 About panel
  };
  const Case cases[] = {
      {"on a parent", true, 100, 50, 400, 300, 100 + 200 - 60, 50 + 150 - 122},
      {"on a smaller parent", true, 10, 10, 50, 41, 10 + 25 - 60,
       10 + 20 - 122},
      {"on the display", false, 0, 0, 1280, 1024, 640 - 60, 512 - 122},
      {"on an odd display", false, 0, 0, 1001, 701, 500 - 60, 350 - 122},
  };
  Lines none({});
  for (const Case& c : cases) {
    host.setDisplayMetrics(
        {c.withParent ? 1280 : c.pw, c.withParent ? 1024 : c.ph, 16});
    lw::Panel* parent = nullptr;
    if (c.withParent) {
      parent = services->create("Parent", services);
      int values[] = {c.px, c.py, c.pw, c.ph};
      for (int tag = 0; tag < 4; ++tag)
        services->set(parent, tag, &values[tag]);
    }
    panels::AboutPanel panel(services, "Test", none.get(), parent, false);
    int steps = 0;
    bool openWhileRunning = false;
    int x = 0, y = 0;
    host.modalStep = [&] {
      ++steps;
      openWhileRunning = host.panelOpen("about");
      x = about(lw::kPanX);
      y = about(lw::kPanY);
      return false;  // no more events: the host closes the panel
    };
    host.clearCalls();
    panel.openCentred();
    EXPECT_EQ(steps, 1) << c.name;
    EXPECT_TRUE(openWhileRunning) << c.name;
    EXPECT_EQ(x, c.expectX) << c.name;
    EXPECT_EQ(y, c.expectY) << c.name;
    EXPECT_FALSE(host.panelOpen("about")) << c.name;
    // Placed, opened with all keys, placed again, then run until closed.
    std::vector<std::string> order;
    for (const std::string& call : host.calls()) {
      if (call.rfind("panel.set \"About Test\"", 0) == 0 ||
          call.rfind("panel.open", 0) == 0 ||
          call.rfind("panel.handle", 0) == 0)
        order.push_back(call);
    }
    const std::string sx = std::to_string(c.expectX);
    const std::string sy = std::to_string(c.expectY);
    EXPECT_EQ(order,
              (std::vector<std::string>{"panel.set \"About Test\" 0 " + sx,
                                        "panel.set \"About Test\" 1 " + sy,
                                        "panel.open \"About Test\" 16",
                                        "panel.set \"About Test\" 0 " + sx,
                                        "panel.set \"About Test\" 1 " + sy,
                                        "panel.handle \"About Test\" 3"}))
        << c.name;
    if (parent != nullptr) services->destroy(parent);
    host.modalStep = nullptr;
  }
}

TEST_F(AboutPanelTest, EnterClosesThePanelAndOtherKeysDoNot) {
  Lines none({});
  panels::AboutPanel panel(services, "Test", none.get(), nullptr, false);
  const int keys[] = {65, 27, 32, 10, 13 + 256, 13, 65};
  std::vector<bool> openAfter;
  std::size_t next = 0;
  host.modalStep = [&] {
    std::string why;
    EXPECT_TRUE(host.key(keys[next], &why)) << why;
    ++next;
    openAfter.push_back(host.panelOpen("about"));
    return true;  // more events would come; only Enter ends the loop
  };
  panel.openCentred();
  // The loop ended at Enter: the key after it was never sent.
  EXPECT_EQ(next, 6u);
  EXPECT_EQ(openAfter,
            (std::vector<bool>{true, true, true, true, true, false}));
}

TEST_F(AboutPanelTest, ShowAboutReturnsOnceClosedAndLeavesNothing) {
  bool sawPanel = false;
  host.modalStep = [&] {
    sawPanel = host.panelOpen("About Spaceball Input Device Drivers");
    std::string why;
    EXPECT_TRUE(host.key(13, &why)) << why;
    return true;
  };
  panels::showAbout(services, "Spaceball Input Device Drivers",
                    panels::kAboutText, nullptr);
  EXPECT_TRUE(sawPanel);
  EXPECT_FALSE(host.panelExists("about"));
  EXPECT_EQ(
      countCalls("panel.destroy \"About Spaceball Input Device Drivers\""), 1);
}

TEST_F(AboutPanelTest, LongTitleWordIsCutToTheTitleBuffer) {
  const std::string word(400, 'w');
  Lines none({});
  panels::AboutPanel panel(services, word.c_str(), none.get(), nullptr, false);
  const std::string expected = "About " + std::string(249, 'w');
  EXPECT_TRUE(host.panelExists(expected));
  EXPECT_EQ(host.calls().front(), "panel.create \"" + expected + "\"");
}

TEST_F(AboutPanelTest, RefusedPanelIsNeitherUsedNorDestroyed) {
  host.refusePanels(true);
  int steps = 0;
  host.modalStep = [&] {
    ++steps;
    return false;
  };
  { panels::showAbout(services, "Word", panels::kAboutText, nullptr); }
  EXPECT_EQ(steps, 0);
  EXPECT_EQ(host.calls(),
            (std::vector<std::string>{"panel.create \"About Word\""}));
}

}  // namespace
