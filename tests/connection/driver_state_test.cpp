// Module-wide state as it stands right after load, and the button command
// table's one way of changing a slot.
#include "connection/driver_state.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/button_table.h"

namespace {

TEST(DriverState, ValuesAtLoad) {
  const connection::DriverState& d = connection::driverState;
  EXPECT_EQ(d.enabled, 1);
  EXPECT_EQ(d.motionAllowed, 1);
  EXPECT_EQ(d.moveMode, 1);
  EXPECT_EQ(d.openConfigOnStartup, 1);
  EXPECT_EQ(d.translationDivisor, 1000.0);
  EXPECT_EQ(d.rotationDivisor, 10.0);
  EXPECT_EQ(d.scaleDivisor, 1000.0);
  EXPECT_EQ(d.deviceHandle, nullptr);
  EXPECT_EQ(d.instanceCount, 0);
  EXPECT_EQ(d.previousWindowProc, nullptr);
  EXPECT_EQ(connection::hostServices.commandFunction, nullptr);
  EXPECT_EQ(connection::hostServices.displayInfo, nullptr);
  for (char* slot : settings::buttonCommands) EXPECT_EQ(slot, nullptr);
}

TEST(ButtonCommandTable, ReplaceTextCases) {
  char*& slot = settings::buttonCommands[3];
  struct Case {
    const char* name;
    const char* text;
    const char* stored;  // null: empty slot
  };
  const Case cases[] = {
      {"one character", "x", "x"},
      {"empty text empties", "", nullptr},
      {"a command", "AddRotation 0 90 0", "AddRotation 0 90 0"},
      {"none empties", nullptr, nullptr},
      {"zero first byte is empty", "\0rest", nullptr},
      {"blanks kept", "  padded  ", "  padded  "},
  };
  for (const Case& c : cases) {
    char*& result = settings::replaceText(slot, c.text);
    EXPECT_EQ(&result, &slot) << c.name;
    if (c.stored == nullptr) {
      EXPECT_EQ(slot, nullptr) << c.name;
    } else {
      ASSERT_NE(slot, nullptr) << c.name;
      EXPECT_STREQ(slot, c.stored) << c.name;
      EXPECT_NE(slot, c.text) << c.name << ": stored the caller's text";
    }
  }
}

TEST(ButtonCommandTable, CopiesAreIndependentOfTheCallersText) {
  char text[] = "Undo";
  char*& slot = settings::buttonCommands[0];
  settings::replaceText(slot, text);
  text[0] = 'X';
  EXPECT_STREQ(slot, "Undo");
  // Replacing with an equal text makes a fresh copy of the same content.
  char same[] = "Undo";
  settings::replaceText(slot, same);
  EXPECT_STREQ(slot, "Undo");
  EXPECT_NE(slot, same);
  settings::replaceText(slot, nullptr);
  EXPECT_EQ(slot, nullptr);
  char* copy = settings::copyText("abc");
  EXPECT_STREQ(copy, "abc");
  delete[] copy;
}

}  // namespace
