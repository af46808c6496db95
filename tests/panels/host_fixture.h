// A host for the panel tests: module::hostGlobal answers "LWPanelServices"
// with a stand-in PanelHost's record and "Info Messages 2" with a message
// service that keeps every error it is shown. Either can be withheld, and
// every acquire and release is noted so a test can see what is still held.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "module/host.h"
#include "module/host_global.h"
#include "standin/panels/panel_host.h"

namespace panels_test {

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    current() = this;
    module::hostGlobal = &lookup;
  }
  void TearDown() override {
    module::hostGlobal = nullptr;
    current() = nullptr;
  }

  // How many of `name` are acquired and not yet released.
  int held(const std::string& name) const {
    int count = 0;
    for (const std::string& use : uses) {
      if (use == "acquire " + name) ++count;
      if (use == "release " + name) --count;
    }
    return count;
  }

  // Calls whose text starts with `prefix`.
  std::vector<std::string> callsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& call : host.calls())
      if (call.rfind(prefix, 0) == 0) out.push_back(call);
    return out;
  }

  standin::PanelHost host;
  bool offerPanels = true;
  bool offerMessages = true;
  std::vector<std::string> errors;  // "text|second" as shown
  std::vector<std::string> uses;    // "acquire NAME", "release NAME", ...

 private:
  static HostFixture*& current() {
    static HostFixture* fixture = nullptr;
    return fixture;
  }

  static void* lookup(const char* name, int useCode) {
    HostFixture* self = current();
    const std::string service = name != nullptr ? name : "";
    const char* verb = useCode == lw::kGlobalAcquire   ? "acquire "
                       : useCode == lw::kGlobalRelease ? "release "
                                                       : "look ";
    if (service == lw::kPanelServicesGlobal) {
      if (!self->offerPanels) return nullptr;
      self->uses.push_back(verb + service);
      return self->host.services();
    }
    if (service == lw::kMessagesGlobal) {
      if (!self->offerMessages) return nullptr;
      self->uses.push_back(verb + service);
      return &self->messages_;
    }
    return nullptr;
  }

  static void note(const char* text, const char* second) {
    current()->errors.push_back(std::string(text != nullptr ? text : "") + "|" +
                                (second != nullptr ? second : ""));
  }
  static void ignore(const char*, const char*) {}

  lw::MessageFuncs messages_{&ignore, &note, &ignore};
};

// Where a test may leave files for a person to look at.
inline std::string outputDirectory() {
#ifdef VEXA_BUILD_DIR
  return VEXA_BUILD_DIR;
#else
  return ::testing::TempDir();
#endif
}

}  // namespace panels_test
