// Control placement through the stand-in host's control and panel calls.
#include "panels/placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/host_values.h"
#include "standin/panels/panel_host.h"

namespace {

class Placement : public ::testing::Test {
 public:
  void SetUp() override {
    services = host.services();
    panel = services->create("Placement", services);
    ASSERT_NE(panel, nullptr);
    lw::ControlDescriptor button{};
    button.type = lw::kDescArea;
    button.area.width = 70;
    anchor = services->addControl(panel, "ButtonControl", &button, "Anchor");
    control = services->addControl(panel, "ButtonControl", &button, "Moved");
    ASSERT_NE(anchor, nullptr);
    ASSERT_NE(control, nullptr);
  }

  void put(lw::Control* c, int tag, int value) {
    lw::Value v{.intv = {lw::kValueInt, value, nullptr}};
    c->set(c, tag, &v);
  }
  int at(lw::Control* c, int tag) {
    lw::Value v{.intv = {lw::kValueInt, 0, nullptr}};
    c->get(c, tag, &v);
    return v.intv.value;
  }
  // The module's calls since the fixture was set up and the geometry given.
  std::vector<std::string> sets() const {
    std::vector<std::string> out;
    for (const std::string& call : host.calls())
      if (call.rfind("control.set \"Moved\"", 0) == 0) out.push_back(call);
    return out;
  }

  standin::PanelHost host;
  lw::PanelFuncs* services = nullptr;
  lw::Panel* panel = nullptr;
  lw::Control* anchor = nullptr;
  lw::Control* control = nullptr;
};

TEST_F(Placement, RightOfPutsTheControlAfterTheAnchorOnItsRow) {
  put(anchor, lw::kCtlX, 10);
  put(anchor, lw::kCtlY, 20);
  put(anchor, lw::kCtlW, 70);
  put(anchor, lw::kCtlH, 20);
  put(control, lw::kCtlX, 500);
  put(control, lw::kCtlY, 600);
  host.clearCalls();

  EXPECT_TRUE(panels::placeRightOf(anchor, control, 0));
  EXPECT_EQ(at(control, lw::kCtlX), 80);
  EXPECT_EQ(at(control, lw::kCtlY), 20);
  // X is set first, then Y.
  EXPECT_EQ(sets(), (std::vector<std::string>{"control.set \"Moved\" 0 80",
                                              "control.set \"Moved\" 1 20"}));

  host.clearCalls();
  EXPECT_TRUE(panels::placeRightOf(anchor, control, 6));
  EXPECT_EQ(at(control, lw::kCtlX), 86);
}

TEST_F(Placement, BelowKeepsXAndPullsTheTopUpByTwelve) {
  put(anchor, lw::kCtlX, 10);
  put(anchor, lw::kCtlY, 20);
  put(anchor, lw::kCtlH, 20);
  put(control, lw::kCtlX, 33);
  put(control, lw::kCtlY, 600);
  host.clearCalls();

  EXPECT_TRUE(panels::placeBelow(anchor, control, 7));
  EXPECT_EQ(at(control, lw::kCtlX), 33);
  EXPECT_EQ(at(control, lw::kCtlY), 35);
  EXPECT_EQ(sets(), (std::vector<std::string>{"control.set \"Moved\" 0 33",
                                              "control.set \"Moved\" 1 35"}));
}

TEST_F(Placement, AlignRightEdgeUsesThePanelWidthAndKeepsY) {
  int width = 400;
  services->set(panel, lw::kPanW, &width);
  put(control, lw::kCtlW, 70);
  put(control, lw::kCtlX, 5);
  put(control, lw::kCtlY, 44);
  host.clearCalls();

  EXPECT_TRUE(panels::alignRightEdge(services, panel, control, -4));
  EXPECT_EQ(at(control, lw::kCtlX), 334);
  EXPECT_EQ(at(control, lw::kCtlY), 44);
  EXPECT_EQ(sets(), (std::vector<std::string>{"control.set \"Moved\" 0 334",
                                              "control.set \"Moved\" 1 44"}));
}

TEST_F(Placement, SomethingMissingGivesFalseAndNoHostCall) {
  struct Case {
    const char* name;
    bool (*place)(Placement&);
  };
  const Case cases[] = {
      {"right of, no anchor",
       [](Placement& f) {
         return panels::placeRightOf(nullptr, f.control, 0);
       }},
      {"right of, no control",
       [](Placement& f) { return panels::placeRightOf(f.anchor, nullptr, 0); }},
      {"below, no anchor",
       [](Placement& f) { return panels::placeBelow(nullptr, f.control, 7); }},
      {"below, no control",
       [](Placement& f) { return panels::placeBelow(f.anchor, nullptr, 7); }},
      {"align, no services",
       [](Placement& f) {
         return panels::alignRightEdge(nullptr, f.panel, f.control, -4);
       }},
      {"align, no panel",
       [](Placement& f) {
         return panels::alignRightEdge(f.services, nullptr, f.control, -4);
       }},
      {"align, no control",
       [](Placement& f) {
         return panels::alignRightEdge(f.services, f.panel, nullptr, -4);
       }},
  };
  const int x = at(control, lw::kCtlX);
  const int y = at(control, lw::kCtlY);
  for (const Case& c : cases) {
    host.clearCalls();
    EXPECT_FALSE(c.place(*this)) << c.name;
    EXPECT_TRUE(host.calls().empty()) << c.name << ": " << host.calls().front();
  }
  EXPECT_EQ(at(control, lw::kCtlX), x);
  EXPECT_EQ(at(control, lw::kCtlY), y);
}

}  // namespace
