// Faults a long Layout session can meet, each handled without a crash, a
// leak or lost settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "standin/panels/panel_host.h"
#include "support/host_fixture.h"

namespace {

class FaultTest : public testing_support::HostTest {
 protected:
  void pick(int row) {
    std::string why;
    ASSERT_TRUE(host->panels()->selectRow(row, &why)) << why;
  }
};

// Layout may hand over any command text; a huge one is kept whole, sent
// whole, saved whole, and read back within the reader's line limit.
TEST_F(FaultTest, MebibyteCommandCapturedFromLayout) {
  host->apply();
  host->options();
  pick(6);
  std::string why;
  ASSERT_TRUE(host->panels()->setCapture(true, &why)) << why;
  const std::string huge(1 << 20, 'x');
  host->run("Huge" + huge);

  standin::ModuleState state = host->inspect();
  ASSERT_EQ(state.slots.size(), 1u);
  EXPECT_EQ(state.slots[0].first, 6);
  EXPECT_EQ(state.slots[0].second.size(), huge.size() + 4);

  sent.clear();
  ASSERT_TRUE(host->button(7, true));
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].size(), huge.size() + 4);

  ASSERT_TRUE(host->remove());
  const std::string file = host->settingsFile();
  EXPECT_NE(file.find("Function 6 Huge" + huge + "\r\n"), std::string::npos);

  host->apply();
  state = host->inspect();
  ASSERT_EQ(state.slots.size(), 1u);
  EXPECT_EQ(state.slots[0].second, ("Huge" + huge).substr(0, 8190));
}

// The settings directory vanishes while the handler lives: the save fails
// quietly, nothing crashes, and the next creation starts from the defaults.
TEST_F(FaultTest, SettingsDirectoryRemovedWhileApplied) {
  writeSettings("SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 2 Undo\r\n");
  host->apply();
  std::filesystem::remove_all(settings.path());
  ASSERT_TRUE(host->remove());
  EXPECT_FALSE(std::filesystem::exists(settings.path()));
  host->apply();
  standin::ModuleState state = host->inspect();
  EXPECT_EQ(state.openConfigOnStartup, 1);
  EXPECT_TRUE(state.slots.empty());
  EXPECT_EQ(host->liveInstances(), 1);
}

// Applying and removing many times holds no service and no hook between
// uses, and the driver is loaded and freed each time.
TEST_F(FaultTest, RepeatedApplyAndRemoveHoldsNothingBetween) {
  for (int i = 0; i < 200; ++i) {
    host->apply();
    ASSERT_EQ(host->liveInstances(), 1) << "round " << i;
    ASSERT_TRUE(host->remove());
    ASSERT_EQ(host->held(standin::Service::CommandInterface), 0);
    ASSERT_EQ(host->held(standin::Service::DisplayInfo), 0);
    ASSERT_FALSE(host->mainWindowHooked());
    ASSERT_FALSE(host->deviceOpen());
  }
  int loads = 0, frees = 0;
  for (const std::string& call : host->calls()) {
    loads += call == "load siappdll ok";
    frees += call == "free siappdll";
  }
  EXPECT_EQ(loads, 200);
  EXPECT_EQ(frees, 200);
}

// Layout outlives the plug-in: unloading takes the configuration panel
// down while Layout's panel services still work, so no panel is left with
// callbacks into unmapped code and nothing leaks per load.
TEST_F(FaultTest, UnloadTakesThePanelDown) {
  host->options();
  ASSERT_TRUE(host->panels()->configPanelExists());
  host->unload();
  EXPECT_FALSE(host->panels()->configPanelExists());
  std::string why;
  ASSERT_TRUE(host->load(&why)) << why;
  host->options();
  EXPECT_TRUE(host->panels()->configPanelOpen());
}

}  // namespace
