// Device events through Layout's real (stand-in) main window: the hook, the
// stand-in driver and the host's command function, as in Layout.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "support/host_fixture.h"

namespace {

using testing_support::HostTest;

class WindowProcTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    writeSettings(
        "SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 0 First 100%\r\n"
        "Function 27 Last one\r\n");
    host->apply();
    ASSERT_EQ(host->liveInstances(), 1) << ::testing::PrintToString(output);
    ASSERT_TRUE(host->deviceOpen());
    ASSERT_TRUE(host->mainWindowHooked());
  }

  std::vector<std::string> motion(std::int32_t tx, std::int32_t ty,
                                  std::int32_t tz, std::int32_t rx,
                                  std::int32_t ry, std::int32_t rz) {
    sent.clear();
    const std::int32_t values[6] = {tx, ty, tz, rx, ry, rz};
    EXPECT_TRUE(host->motion(values));
    return sent;
  }

  std::vector<std::string> press(int button) {
    sent.clear();
    EXPECT_TRUE(host->button(button, true));
    return sent;
  }

  using Lines = std::vector<std::string>;
};

TEST_F(WindowProcTest, MotionBecomesTheDocumentedLines) {
  struct Case {
    const char* name;
    std::int32_t v[6];
    bool scale;
    Lines lines;
  };
  const Case cases[] = {
      {"push, move",
       {350, 0, -20, 0, 0, 0},
       false,
       {"AddPosition 0.35 0 -0.02"}},
      {"push, scale", {350, 0, -20, 0, 0, 0}, true, {"AddScale 0.35 0 -0.02"}},
      {"twist, move", {0, 0, 0, 0, 15, 0}, false, {"AddRotation -1.5 -0 -0"}},
      {"twist, scale", {0, 0, 0, 0, 15, 0}, true, {"AddRotation -1.5 -0 -0"}},
      {"both",
       {1000, 0, 0, 20, -5, 3},
       false,
       {"AddPosition 1 0 0", "AddRotation 0.5 -2 -0.3"}},
      {"nothing, move", {0, 0, 0, 0, 0, 0}, false, {}},
      {"nothing, scale", {0, 0, 0, 0, 0, 0}, true, {}},
      {"extremes",
       {INT32_MIN, INT32_MAX, 1, -1, 7, 123456789},
       false,
       {"AddPosition -2.14748e+06 2.14748e+06 0.001",
        "AddRotation -0.7 0.1 -1.23457e+07"}},
  };
  for (const Case& c : cases) {
    host->generic(c.scale ? "Vexa_SpaceBallScale" : "Vexa_SpaceBallMove");
    EXPECT_EQ(motion(c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5]), c.lines)
        << c.name;
  }
}

TEST_F(WindowProcTest, ButtonsRunTheirSlotsUnformatted) {
  struct Case {
    int button;
    Lines lines;
  };
  const Case cases[] = {
      {1, {"First 100%"}},
      {28, {"Last one"}},
      {2, {}},  // empty slot
      {0, {}},
      {29, {}},
      {-1, {}},
      {1 << 30, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(press(c.button), c.lines) << "button " << c.button;
  sent.clear();
  EXPECT_TRUE(host->button(1, false));
  EXPECT_TRUE(sent.empty()) << "a release runs nothing";
}

TEST_F(WindowProcTest, ClosedGatesSendNothingButStillAskTheDriver) {
  struct Gate {
    const char* close;
    void (*open)(standin::Host&);
  };
  const Gate gates[] = {
      {"disable", [](standin::Host& h) { h.generic("Vexa_SpaceBallEnable"); }},
      {"render", [](standin::Host& h) { h.renderDone(); }},
  };
  for (const Gate& gate : gates) {
    if (std::string(gate.close) == "disable")
      host->generic("Vexa_SpaceBallDisable");
    else
      host->run("RenderFrame 5");
    const long asked = host->eventQueries();
    EXPECT_TRUE(motion(350, 0, 0, 0, 15, 0).empty()) << gate.close;
    EXPECT_TRUE(press(1).empty()) << gate.close;
    EXPECT_EQ(host->eventQueries(), asked + 2) << gate.close;
    gate.open(*host);
    EXPECT_EQ(press(1), Lines{"First 100%"}) << gate.close;
  }
}

TEST_F(WindowProcTest, OtherEventTypesSendNothing) {
  for (std::int32_t type : {0, 3, -1, 1000}) {
    siapp::SiSpwEvent event{};
    event.type = type;
    event.motion[0] = 500;
    event.buttonPressed = 1;
    sent.clear();
    EXPECT_TRUE(host->feed(event));
    EXPECT_TRUE(sent.empty()) << "type " << type;
  }
}

TEST_F(WindowProcTest, EveryMessageReachesLayoutUnchangedWithItsResult) {
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  const Message messages[] = {
      {0x0001, 0, 0},
      {0x0401, 0x1234, 0x5678},
      {0xFFFFFFFFu, ~WPARAM{0}, -1},  // garbage parameters
      {0xC000, 7, 7},                 // a registered id that is not ours
  };
  for (const Message& m : messages) {
    const std::size_t before = host->received().size();
    EXPECT_EQ(host->sendOrdinary(m.message, m.wParam, m.lParam),
              standin::Host::resultFor(m.message, m.wParam, m.lParam));
    ASSERT_EQ(host->received().size(), before + 1);
    const auto& got = host->received().back();
    EXPECT_EQ(got.window, host->mainWindow());
    EXPECT_EQ(got.message, m.message);
    EXPECT_EQ(got.wParam, m.wParam);
    EXPECT_EQ(got.lParam, m.lParam);
  }
  // Device events are passed on too, acted on or not.
  const std::size_t before = host->received().size();
  motion(1, 0, 0, 0, 0, 0);
  press(1);
  host->generic("Vexa_SpaceBallDisable");
  motion(1, 0, 0, 0, 0, 0);
  EXPECT_EQ(host->received().size(), before + 3);
  EXPECT_TRUE(sent.empty());
}

TEST_F(WindowProcTest, RemovingTheHandlerUnhooksTheWindow) {
  EXPECT_TRUE(host->remove());
  EXPECT_FALSE(host->mainWindowHooked());
  EXPECT_FALSE(host->deviceOpen());
  sent.clear();
  host->sendOrdinary(0x0401, 1, 2);
  EXPECT_TRUE(sent.empty());
}

// A decimal-comma locale must not reach the command lines Layout parses.
TEST_F(WindowProcTest, FormattingIgnoresTheProcessLocale) {
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR",
                           "nl_NL.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  if (chosen == nullptr)
    GTEST_SKIP() << "no decimal-comma locale on this machine (make deps "
                    "generates de_DE.UTF-8)";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%g", 0.5);
  ASSERT_STREQ(probe, "0,5") << chosen << " is not a decimal-comma locale";
  EXPECT_EQ(motion(350, 0, -20, 20, -5, 3),
            (Lines{"AddPosition 0.35 0 -0.02", "AddRotation 0.5 -2 -0.3"}));
  std::setlocale(LC_ALL, "C");
}

}  // namespace
