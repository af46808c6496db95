// The configuration panel, driven through the stand-in host's controls as a
// person would use them. Each test runs in a process of its own, so every
// one starts with no panel and empty button slots.
#include "panels/config_panel.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "connection/driver_state.h"
#include "panels/picture_data.h"
#include "settings/button_table.h"
#include "standin/siappdll/driver_feed.h"
#include "standin/winsys/winsys.h"
#include "tests/panels/host_fixture.h"

namespace {

using standin::PanelHost;
constexpr const char* kError = "Error creating main panel, aborting|";
constexpr const char* kTitle = "Spaceball Input Device Driver";

class ConfigPanelTest : public panels_test::HostFixture {
 protected:
  PanelHost::ControlInfo control(const std::string& label) const {
    for (const PanelHost::ControlInfo& c : host.configControls())
      if (c.label == label) return c;
    ADD_FAILURE() << "no control " << label;
    return {};
  }
  std::string slot(int index) const {
    const char* text = settings::buttonCommands[index];
    return text != nullptr ? text : "<empty>";
  }
  void open() {
    EXPECT_EQ(panels::openConfigPanel(nullptr), nullptr);
    ASSERT_TRUE(host.configPanelOpen());
  }
  void act(bool done, const std::string& why) { ASSERT_TRUE(done) << why; }

  std::string why;
};

TEST_F(ConfigPanelTest, BuildsTheSixControlsInOrderAndOpensBesideLayout) {
  open();
  std::vector<std::string> made;
  for (const std::string& call : callsStartingWith("panel.addControl"))
    made.push_back(
        call.substr(call.find(kTitle) + std::string(kTitle).size() + 2));
  EXPECT_EQ(
      made,
      (std::vector<std::string>{
          "ButtonControl \"Configure\"", "BoolControl \"Open on activation\"",
          "ButtonControl \"About\"", "MultiListBoxControl \"Functions\"",
          "EditControl \"Command\"", "BoolButtonControl \"Capture\""}));
  EXPECT_EQ(callsStartingWith("panel.open"),
            (std::vector<std::string>{"panel.open \"" + std::string(kTitle) +
                                      "\" 88"}));
  // Handlers: user data 0, then the handler, control by control.
  std::vector<std::string> handlers;
  for (const std::string& call : callsStartingWith("control.set")) {
    if (call.ends_with(" 16 null") || call.ends_with(" 14 ptr"))
      handlers.push_back(call);
  }
  const std::vector<std::string> order = {"About",     "Functions",
                                          "Command",   "Capture",
                                          "Configure", "Open on activation"};
  ASSERT_EQ(handlers.size(), 2 * order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(handlers[2 * i], "control.set \"" + order[i] + "\" 16 null");
    EXPECT_EQ(handlers[2 * i + 1], "control.set \"" + order[i] + "\" 14 ptr");
  }
  EXPECT_EQ(held(lw::kPanelServicesGlobal), 1);
  EXPECT_EQ(held(lw::kMessagesGlobal), 1);
  EXPECT_TRUE(errors.empty());
}

TEST_F(ConfigPanelTest, ControlsArePlacedRelativeToEachOther) {
  open();
  const auto configure = control("Configure");
  const auto check = control("Open on activation");
  const auto about = control("About");
  const auto list = control("Functions");
  const auto field = control("Command");
  const auto capture = control("Capture");
  EXPECT_EQ(check.x, configure.x + configure.w);
  EXPECT_EQ(check.y, configure.y);
  EXPECT_EQ(list.y, configure.y + configure.h + 7 - 12);
  EXPECT_EQ(field.y, list.y + list.h + 7 - 12);
  EXPECT_EQ(capture.x, field.x + field.w);
  EXPECT_EQ(capture.y, field.y);
  const int width = host.panelValue("config", lw::kPanW).value();
  EXPECT_EQ(about.x, width - about.w + 4);
  EXPECT_EQ(about.y, configure.y);
  EXPECT_EQ(host.panelValue("config", lw::kPanH).value(), field.y + field.h);
}

TEST_F(ConfigPanelTest, ListShowsRowNumbersCommandsAndTitles) {
  settings::replaceText(settings::buttonCommands[3], "NextFrame");
  open();
  struct Case {
    int row, column;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, "1"},      {27, 0, "28"},       {9, 0, "10"},
      {0, 1, "(none)"}, {3, 1, "NextFrame"}, {27, 1, "(none)"},
      {-1, 0, "Func"},  {-1, 1, "Command"},  {-1, 2, ""},
      {28, 0, ""},      {28, 1, ""},         {-2, 0, ""},
      {0, 2, ""},       {5, -1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host.listCell(c.row, c.column), c.text)
        << "row " << c.row << ", column " << c.column;
  }
  EXPECT_EQ(host.listColumnWidth(0), 50);
  EXPECT_EQ(host.listColumnWidth(1), 250);
  EXPECT_EQ(host.listColumnWidth(2), 0);
}

TEST_F(ConfigPanelTest, TypingWithNoRowPickedGoesToTheFirstButton) {
  open();
  act(host.typeCommand("Vexa_SpaceBallToggle", &why), why);
  EXPECT_EQ(slot(0), "Vexa_SpaceBallToggle");
  EXPECT_EQ(host.listCell(0, 1), "Vexa_SpaceBallToggle");
  EXPECT_EQ(control("Functions").redraws, 1);
  for (int i = 1; i < settings::kButtonSlots; ++i)
    EXPECT_EQ(slot(i), "<empty>");
}

TEST_F(ConfigPanelTest, PickingARowShowsItsCommandAndTurnsCaptureOff) {
  settings::replaceText(settings::buttonCommands[6], "Undo");
  open();
  struct Case {
    int row;
    const char* field;
  };
  // Each pick follows one that left other text in the field.
  const Case cases[] = {{6, "Undo"}, {5, ""}, {6, "Undo"}, {27, ""}};
  for (const Case& c : cases) {
    act(host.setCapture(true, &why), why);
    act(host.selectRow(c.row, &why), why);
    EXPECT_EQ(control("Command").text, c.field) << "row " << c.row;
    EXPECT_EQ(control("Capture").intValue, 0) << "row " << c.row;
  }
  EXPECT_EQ(slot(6), "Undo");
  EXPECT_EQ(slot(5), "<empty>");
}

TEST_F(ConfigPanelTest, ClearingTheFieldEmptiesTheSlot) {
  settings::replaceText(settings::buttonCommands[2], "FirstFrame");
  open();
  act(host.selectRow(2, &why), why);
  act(host.setCapture(true, &why), why);
  act(host.typeCommand("", &why), why);
  EXPECT_EQ(slot(2), "<empty>");
  EXPECT_EQ(host.listCell(2, 1), "(none)");
  // Editing leaves Capture as it was.
  EXPECT_EQ(control("Capture").intValue, 1);
}

TEST_F(ConfigPanelTest, CaptureStoresTheNextCommandOnce) {
  open();
  act(host.selectRow(4, &why), why);
  act(host.setCapture(true, &why), why);
  const int redraws = control("Functions").redraws;

  panels::captureCommand("AddPosition 0 0 0.5");
  EXPECT_EQ(slot(4), "AddPosition 0 0 0.5");
  EXPECT_EQ(control("Functions").redraws, redraws + 1);
  EXPECT_EQ(control("Command").text, "AddPosition 0 0 0.5");
  EXPECT_EQ(control("Capture").intValue, 0);

  panels::captureCommand("NextFrame");
  EXPECT_EQ(slot(4), "AddPosition 0 0 0.5");
  for (int i = 0; i < settings::kButtonSlots; ++i) {
    if (i != 4) {
      EXPECT_EQ(slot(i), "<empty>") << "slot " << i;
    }
  }
}

TEST_F(ConfigPanelTest, CaptureIsOffUntilTheUserTurnsItOn) {
  open();
  act(host.selectRow(1, &why), why);
  panels::captureCommand("NextFrame");
  EXPECT_EQ(slot(1), "<empty>");
}

TEST_F(ConfigPanelTest, WithNoSelectionNothingIsCapturedOrStored) {
  open();
  act(host.selectRow(-1, &why), why);
  act(host.setCapture(true, &why), why);
  panels::captureCommand("NextFrame");
  act(host.typeCommand("PreviousFrame", &why), why);
  for (int i = 0; i < settings::kButtonSlots; ++i)
    EXPECT_EQ(slot(i), "<empty>") << "slot " << i;
  EXPECT_EQ(control("Functions").redraws, 0);
  // Capture stays on: no capture happened to turn it off.
  EXPECT_EQ(control("Capture").intValue, 1);
}

TEST_F(ConfigPanelTest, SecondOpenWhileOpenChangesNothing) {
  open();
  act(host.setCapture(true, &why), why);
  host.clearCalls();
  const std::size_t uses = this->uses.size();
  EXPECT_EQ(panels::openConfigPanel(nullptr), nullptr);
  EXPECT_TRUE(host.calls().empty()) << host.calls().front();
  EXPECT_EQ(this->uses.size(), uses);
  EXPECT_EQ(control("Capture").intValue, 1);
}

TEST_F(ConfigPanelTest, RefusedPanelShowsTheErrorEachTimeAndKeepsNothing) {
  host.refusePanels(true);
  for (int attempt = 1; attempt <= 3; ++attempt) {
    EXPECT_EQ(panels::openConfigPanel(nullptr), nullptr);
    EXPECT_EQ(errors.size(), static_cast<std::size_t>(attempt));
    EXPECT_EQ(errors.back(), kError);
    EXPECT_EQ(held(lw::kPanelServicesGlobal), 0) << "attempt " << attempt;
    EXPECT_EQ(held(lw::kMessagesGlobal), 0) << "attempt " << attempt;
    EXPECT_EQ(callsStartingWith("panel.create").size(),
              static_cast<std::size_t>(attempt));
  }
  panels::captureCommand("NextFrame");
  EXPECT_EQ(slot(0), "<empty>");
  // Nothing was kept: the next request builds from the start.
  host.refusePanels(false);
  open();
  EXPECT_EQ(errors.size(), 3u);
}

TEST_F(ConfigPanelTest, MissingServicesFailCleanlyAndTheNextRequestRetries) {
  struct Case {
    const char* name;
    bool lookup, panels, messages;
    std::size_t errorsShown;
  };
  const Case cases[] = {
      {"no lookup function", false, true, true, 0},
      {"no panel services", true, false, true, 1},
      {"no message service", true, true, false, 0},
      {"neither", true, false, false, 0},
  };
  for (const Case& c : cases) {
    errors.clear();
    uses.clear();
    host.clearCalls();
    const lw::GlobalFunc lookup = module::hostGlobal;
    if (!c.lookup) module::hostGlobal = nullptr;
    offerPanels = c.panels;
    offerMessages = c.messages;

    EXPECT_EQ(panels::openConfigPanel(nullptr), nullptr) << c.name;
    EXPECT_EQ(errors.size(), c.errorsShown) << c.name;
    if (c.errorsShown > 0) {
      EXPECT_EQ(errors.back(), kError) << c.name;
    }
    EXPECT_EQ(held(lw::kPanelServicesGlobal), 0) << c.name;
    EXPECT_EQ(held(lw::kMessagesGlobal), 0) << c.name;
    EXPECT_TRUE(host.calls().empty()) << c.name << ": " << host.calls().front();
    module::hostGlobal = lookup;
  }
  offerPanels = true;
  offerMessages = true;
  open();
}

TEST_F(ConfigPanelTest, RefusedControlFailsCleanlyAndTheNextRequestRetries) {
  const char* labels[] = {"Configure", "Open on activation",
                          "About",     "Functions",
                          "Command",   "Capture"};
  // The host counts every control asked for over its whole life.
  int asked = 0;
  for (int refused = 1; refused <= 6; ++refused) {
    errors.clear();
    host.clearCalls();
    host.refuseControlsFrom(asked + refused);
    asked += refused;
    EXPECT_EQ(panels::openConfigPanel(nullptr), nullptr) << labels[refused - 1];
    EXPECT_EQ(errors, (std::vector<std::string>{kError}))
        << labels[refused - 1];
    EXPECT_EQ(callsStartingWith("panel.destroy").size(), 1u)
        << labels[refused - 1];
    EXPECT_TRUE(callsStartingWith("panel.open").empty()) << labels[refused - 1];
    EXPECT_FALSE(host.configPanelExists()) << labels[refused - 1];
    EXPECT_EQ(held(lw::kPanelServicesGlobal), 0) << labels[refused - 1];
    EXPECT_EQ(held(lw::kMessagesGlobal), 0) << labels[refused - 1];
    // Nothing after the refused control was asked for.
    EXPECT_EQ(callsStartingWith("panel.addControl").size(),
              static_cast<std::size_t>(refused))
        << labels[refused - 1];
    // No handler may survive on a destroyed panel.
    panels::captureCommand("NextFrame");
  }
  host.refuseControlsFrom(0);
  errors.clear();
  open();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(control("Capture").label, "Capture");
}

TEST_F(ConfigPanelTest, CheckBoxShowsAndChangesTheStartUpFlag) {
  for (const std::uint8_t flag : {std::uint8_t{0}, std::uint8_t{1}}) {
    connection::driverState.openConfigOnStartup = flag;
    panels::openConfigPanel(nullptr);
    EXPECT_EQ(control("Open on activation").intValue, flag) << int{flag};
    act(host.setOpenOnActivation(flag == 0, &why), why);
    EXPECT_EQ(connection::driverState.openConfigOnStartup, flag == 0 ? 1 : 0)
        << int{flag};
    act(host.closeConfigPanel(&why), why);
  }
}

TEST_F(ConfigPanelTest, ClosedPanelCapturesNothingAndOpensAgain) {
  open();
  act(host.selectRow(2, &why), why);
  act(host.setCapture(true, &why), why);
  act(host.closeConfigPanel(&why), why);
  EXPECT_FALSE(host.configPanelOpen());

  panels::captureCommand("NextFrame");
  EXPECT_EQ(slot(2), "<empty>");

  host.clearCalls();
  connection::driverState.openConfigOnStartup = 0;
  open();
  // The same panel, opened again with Capture off and the flag shown.
  EXPECT_TRUE(callsStartingWith("panel.create").empty());
  EXPECT_EQ(callsStartingWith("panel.open").size(), 1u);
  EXPECT_EQ(control("Capture").intValue, 0);
  EXPECT_EQ(control("Open on activation").intValue, 0);
  act(host.setCapture(true, &why), why);
  panels::captureCommand("NextFrame");
  EXPECT_EQ(slot(2), "NextFrame");
}

void noteDriverCall(const char* call, void* context) {
  static_cast<std::vector<std::string>*>(context)->push_back(call);
}

TEST_F(ConfigPanelTest, ConfigureAsksTheDriverToShowAllItsControls) {
  WinsysSetLibraryPath("siappdll", VEXA_DRIVER_PATH);
  HMODULE library = LoadLibraryA("siappdll");
  ASSERT_NE(library, nullptr);
  // Through void (*)(), the type that stands for any function.
  auto setObserver = reinterpret_cast<standin_driver::SetObserverFn>(
      reinterpret_cast<void (*)()>(
          GetProcAddress(library, "StandinDriverSetObserver")));
  ASSERT_NE(setObserver, nullptr);
  std::vector<std::string> driverCalls;
  setObserver(&noteDriverCall, &driverCalls);

  open();
  act(host.click("Configure", &why), why);
  std::vector<std::string> modes;
  for (const std::string& call : driverCalls)
    if (call.rfind("ui-mode", 0) == 0) modes.push_back(call);
  EXPECT_EQ(modes, (std::vector<std::string>{"ui-mode -1"}));

  setObserver(nullptr, nullptr);
  FreeLibrary(library);
}

TEST_F(ConfigPanelTest, AboutRunsCentredOnThePanelUntilEnter) {
  open();
  const int px = host.panelValue("config", lw::kPanX).value();
  const int py = host.panelValue("config", lw::kPanY).value();
  const int pw = host.panelValue("config", lw::kPanW).value();
  const int ph = host.panelValue("config", lw::kPanH).value();
  int steps = 0;
  int x = 0, y = 0, w = 0, h = 0;
  host.modalStep = [&] {
    ++steps;
    x = host.panelValue("about", lw::kPanX).value();
    y = host.panelValue("about", lw::kPanY).value();
    w = host.panelValue("about", lw::kPanW).value();
    h = host.panelValue("about", lw::kPanH).value();
    EXPECT_TRUE(host.panelOpen("About Spaceball Input Device Drivers"));
    EXPECT_TRUE(host.key(13, &why)) << why;
    return true;
  };
  act(host.click("About", &why), why);
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(x, px + pw / 2 - w / 2);
  EXPECT_EQ(y, py + ph / 2 - h / 2);
  EXPECT_FALSE(host.panelExists("about"));
  EXPECT_TRUE(host.configPanelOpen());
}

// Reads a written PNG back: its size and one pixel's red, green, blue.
struct Png {
  explicit Png(const std::string& file)
      : surface(cairo_image_surface_create_from_png(file.c_str())) {}
  ~Png() { cairo_surface_destroy(surface); }
  Png(const Png&) = delete;
  Png& operator=(const Png&) = delete;
  bool ok() const {
    return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  }
  int width() const { return cairo_image_surface_get_width(surface); }
  int height() const { return cairo_image_surface_get_height(surface); }
  std::vector<int> at(int x, int y) const {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto pixel =
        *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
    return {static_cast<int>(pixel >> 16 & 0xFF),
            static_cast<int>(pixel >> 8 & 0xFF),
            static_cast<int>(pixel & 0xFF)};
  }
  cairo_surface_t* surface;
};

TEST_F(ConfigPanelTest, SnapshotsShowBothPanels) {
  namespace data = panels::picture_data;
  settings::replaceText(settings::buttonCommands[0], "Vexa_SpaceBallToggle");
  settings::replaceText(settings::buttonCommands[1], "Vexa_SpaceBallMove");
  settings::replaceText(settings::buttonCommands[2], "Vexa_SpaceBallScale");
  settings::replaceText(settings::buttonCommands[4], "NextFrame");
  open();
  act(host.selectRow(4, &why), why);
  act(host.setCapture(true, &why), why);
  const std::string configFile =
      panels_test::outputDirectory() + "/panels_config.png";
  const std::string aboutFile =
      panels_test::outputDirectory() + "/panels_about.png";
  act(host.snapshot("config", configFile, &why), why);

  host.modalStep = [&] {
    EXPECT_TRUE(host.snapshot("about", aboutFile, &why)) << why;
    EXPECT_TRUE(host.key(13, &why)) << why;
    return true;
  };
  act(host.click("About", &why), why);
  EXPECT_FALSE(host.snapshot("about", aboutFile, &why));

  Png config(configFile);
  ASSERT_TRUE(config.ok()) << configFile;
  EXPECT_EQ(config.width(), host.panelValue("config", lw::kPanW).value() +
                                2 * PanelHost::kFrameLeft);
  EXPECT_EQ(config.height(), host.panelValue("config", lw::kPanH).value() +
                                 PanelHost::kFrameTop + PanelHost::kFrameLeft);

  Png about(aboutFile);
  ASSERT_TRUE(about.ok()) << aboutFile;
  // The picture at (3, 3) of the panel: its row 27, column 30 pixel, whose
  // bytes lie in two chunks.
  EXPECT_EQ(
      about.at(PanelHost::kFrameLeft + 3 + 30, PanelHost::kFrameTop + 3 + 27),
      (std::vector<int>{data::kChunks[0][8190], data::kChunks[0][8191],
                        data::kChunks[1][0]}));
}

TEST_F(ConfigPanelTest, VerbsSayWhyWhenThereIsNoOpenPanel) {
  EXPECT_FALSE(host.selectRow(0, &why));
  EXPECT_EQ(why, "there is no configuration panel");
  open();
  EXPECT_FALSE(host.selectRow(28, &why));
  EXPECT_FALSE(host.click("Nothing", &why));
  EXPECT_FALSE(host.key(13, &why));
  EXPECT_EQ(why, "no About panel is running");
  act(host.closeConfigPanel(&why), why);
  EXPECT_FALSE(host.typeCommand("x", &why));
  EXPECT_EQ(why, "the configuration panel is not open");
}

}  // namespace
