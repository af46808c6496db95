// The plug-in's static face, as the host reads it: descriptor, server table,
// tag lists, and the activation contract.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "support/host_fixture.h"

namespace {

using testing_support::HostTest;

TEST_F(HostTest, DescriptorCarriesSyncVersionMachineAndStartsWithFour) {
  const lw::ModuleDescriptor* d = host->descriptor();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->sync, 0x04121994u);
  EXPECT_EQ(d->version, 3u);
  EXPECT_EQ(d->machine, lw::kMachineWord);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(d->startup()), 4u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(host->startupValue()), 4u);
  // Shutdown takes any value and changes nothing the host can see.
  d->shutdown(nullptr);
  d->shutdown(reinterpret_cast<void*>(std::uintptr_t{77}));
  EXPECT_EQ(host->servers().size(), 12u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(d->startup()), 4u);
}

TEST_F(HostTest, ServerTableHasExactlyTheTwelveRowsInOrder) {
  struct Row {
    const char* className;
    const char* name;
    const char* user;
    const char* button;
  };
  const Row expected[] = {
      {"MasterHandler", "Vexa_SpaceBallMaster", "Vexa  SpaceBall (Master)",
       "SpaceBall (Master)"},
      {"MasterInterface", "Vexa_SpaceBallMaster", "Vexa  SpaceBall (Master)",
       "SpaceBall (Master)"},
      {"LayoutGeneric", "Vexa_SpaceBallProperties",
       "Vexa  SpaceBall Properties", "SpaceBall Properties"},
      {"LayoutGeneric", "Vexa_SpaceBallApply", "Vexa  SpaceBall Apply",
       "SpaceBall Apply"},
      {"LayoutGeneric", "Vexa_SpaceBallEnable", "Vexa  SpaceBall Enable",
       "SpaceBall Enable"},
      {"LayoutGeneric", "Vexa_SpaceBallDisable", "Vexa  SpaceBall Disable",
       "SpaceBall Disable"},
      {"LayoutGeneric", "Vexa_SpaceBallToggle", "Vexa  SpaceBall Toggle",
       "SpaceBall Toggle"},
      {"LayoutGeneric", "Vexa_SpaceBallReset", "Vexa  SpaceBall Reset",
       "SpaceBall Reset"},
      {"LayoutGeneric", "Vexa_SpaceBallConfig", "Vexa  SpaceBall Config",
       "SpaceBall Config"},
      {"LayoutGeneric", "Vexa_SpaceBallMove", "Vexa  SpaceBall Move",
       "SpaceBall Move"},
      {"LayoutGeneric", "Vexa_SpaceBallScale", "Vexa  SpaceBall Scale",
       "SpaceBall Scale"},
      {"LayoutGeneric", "Vexa_SpaceBallMoveScale",
       "Vexa  SpaceBall Move Toggle", "SpaceBall Move Toggle"},
  };
  std::vector<standin::ServerRow> rows = host->servers();
  ASSERT_EQ(rows.size(), std::size(expected));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_EQ(rows[i].className, expected[i].className);
    EXPECT_EQ(rows[i].name, expected[i].name);
    EXPECT_EQ(rows[i].userName, expected[i].user);
    EXPECT_EQ(rows[i].buttonName, expected[i].button);
    EXPECT_EQ(rows[i].userNames, 1);
    EXPECT_EQ(rows[i].buttonNames, 1);
  }
  // The two master rows share one tag list, and every list holds exactly
  // two rows before its zero row.
  const lw::ServerRecord* table = host->descriptor()->servers;
  EXPECT_EQ(table[0].tagInfo, table[1].tagInfo);
  std::set<const lw::ServerTagInfo*> lists;
  for (int i = 0; i < 12; ++i) {
    const lw::ServerTagInfo* tags = table[i].tagInfo;
    EXPECT_NE(tags[0].string, nullptr);
    EXPECT_NE(tags[1].string, nullptr);
    EXPECT_EQ(tags[2].string, nullptr);
    EXPECT_EQ(tags[2].tag, 0u);
    lists.insert(tags);
  }
  EXPECT_EQ(lists.size(), 11u);
  const lw::ServerRecord& end = table[12];
  EXPECT_TRUE(end.className == nullptr && end.name == nullptr &&
              end.activate == nullptr && end.tagInfo == nullptr);
}

// Distinct global functions, so a test can tell which one the module kept.
void* globalA(const char*, int) { return nullptr; }
void* globalB(const char*, int) { return nullptr; }

class ActivationTest : public HostTest {
 protected:
  int activate(int row, int version, lw::GlobalFunc global) {
    const lw::ServerRecord& server = host->descriptor()->servers[row];
    lw::InstanceFuncs inst{};
    lw::ItemFuncs item{};
    lw::MasterHandler handler{&inst, &item, 0, nullptr, nullptr};
    lw::Interface face{};
    lw::LayoutGeneric generic{[](void*, const char*) { return 0; }, nullptr};
    void* local = row == 0   ? static_cast<void*>(&handler)
                  : row == 1 ? static_cast<void*>(&face)
                             : static_cast<void*>(&generic);
    return server.activate(version, global, local, host->startupValue());
  }
  void* kept() {
    standin::ModuleState state = host->inspect();
    EXPECT_TRUE(state.available) << state.why;
    return state.hostGlobal;
  }
  static void* address(lw::GlobalFunc f) { return reinterpret_cast<void*>(f); }
};

TEST_F(ActivationTest, WrongVersionIsRefusedAndKeepsNoGlobal) {
  struct Case {
    int row;
    int version;
  };
  for (Case c : {Case{0, 3}, Case{0, 5}, Case{1, 3}, Case{1, 5}, Case{2, 1},
                 Case{4, 3}, Case{11, 0}}) {
    SCOPED_TRACE("row " + std::to_string(c.row) + " version " +
                 std::to_string(c.version));
    EXPECT_EQ(activate(c.row, c.version, globalA), 1);
    EXPECT_EQ(kept(), nullptr);
  }
}

TEST_F(ActivationTest, MasterHandlerAlwaysStoresInterfaceOnlyWhenEmpty) {
  EXPECT_EQ(activate(0, 4, globalA), 0);
  EXPECT_EQ(kept(), address(globalA));
  EXPECT_EQ(activate(1, 4, globalB), 0);
  EXPECT_EQ(kept(), address(globalA)) << "interface replaced the handler's";
  EXPECT_EQ(activate(0, 4, globalB), 0);
  EXPECT_EQ(kept(), address(globalB)) << "a later handler must replace it";
  EXPECT_EQ(activate(0, 5, globalA), 1);
  EXPECT_EQ(kept(), address(globalB));
}

TEST_F(ActivationTest, InterfaceFirstStoresItsOwnGlobal) {
  EXPECT_EQ(activate(1, 4, globalB), 0);
  EXPECT_EQ(kept(), address(globalB));
}

TEST_F(ActivationTest, LayoutGenericsNeverStoreTheGlobal) {
  for (int row = 4; row < 12; ++row) {
    if (row == 8) continue;  // Config only talks to the driver
    EXPECT_EQ(activate(row, 2, globalA), 0) << "row " << row;
  }
  EXPECT_EQ(activate(8, 2, globalA), 0);
  EXPECT_EQ(kept(), nullptr);
}

TEST_F(ActivationTest, MasterHandlerFillsItsRecordButNotItsType) {
  lw::InstanceFuncs inst{};
  lw::ItemFuncs item{};
  lw::MasterHandler handler{&inst, &item, 1234, nullptr, nullptr};
  ASSERT_EQ(
      host->descriptor()->servers[0].activate(4, globalA, &handler, nullptr),
      0);
  EXPECT_EQ(handler.type, 1234);
  ASSERT_NE(inst.descln, nullptr);
  EXPECT_STREQ(inst.descln(nullptr), "SpaceBall Driver for Lightwave 3D");
  EXPECT_EQ(inst.copy(nullptr, nullptr), nullptr);
  EXPECT_EQ(inst.load(nullptr, nullptr), nullptr);
  EXPECT_EQ(inst.save(nullptr, nullptr), nullptr);
  EXPECT_EQ(item.useItems(nullptr), nullptr);
  ASSERT_NE(handler.flags, nullptr);
  EXPECT_EQ(handler.flags(nullptr), 0u);
  // Records without instance or item callbacks are filled as far as given.
  lw::MasterHandler bare{nullptr, nullptr, 0, nullptr, nullptr};
  EXPECT_EQ(host->descriptor()->servers[0].activate(4, globalA, &bare, nullptr),
            0);
  EXPECT_NE(bare.event, nullptr);

  lw::Interface face{};
  face.inst = &face;
  face.panel = &face;
  ASSERT_EQ(host->descriptor()->servers[1].activate(4, globalA, &face, nullptr),
            0);
  EXPECT_EQ(face.panel, nullptr);
  EXPECT_EQ(face.command, nullptr);
  EXPECT_NE(face.options, nullptr);
  EXPECT_EQ(face.inst, &face) << "the instance member is not the module's";
}

// The built plug-in exports its descriptor and nothing else.
TEST(ModuleExports, OnlyTheDescriptorIsExported) {
  std::string command =
      "nm -D --defined-only " + testing_support::pluginPath().string();
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> exported;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string text(line);
    std::string name = text.substr(text.find_last_of(' ') + 1);
    name.erase(name.find_last_not_of("\n") + 1);
    exported.push_back(name);
  }
  ASSERT_EQ(pclose(pipe), 0) << command;
  EXPECT_EQ(exported, std::vector<std::string>{"_mod_descrip"});
}

}  // namespace
