// Under Windows (Wine here): the module's hook on Layout's main window shares
// the window with a procedure installed after it. That later procedure, and
// the host's own behind ours, must see every message with its parameters
// unchanged, device events included; removing the handler must give the
// window back its own procedure. Exits non-zero on any failure.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "standin/host/host.h"
#include "standin/host/system.h"
#include "windows/checks.h"

namespace {

namespace fs = std::filesystem;

struct Seen {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Seen&) const = default;
};

// The procedure another plug-in installs after ours: it records and passes
// everything on, as a well-behaved subclass does.
std::vector<Seen> laterSaw;
WNDPROC behindLater = nullptr;

LRESULT CALLBACK laterHook(HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) {
  laterSaw.push_back({message, wParam, lParam});
  return CallWindowProcA(behindLater, window, message, wParam, lParam);
}

using windows_tests::Checks;

std::string describe(const Seen& seen) {
  char text[96];
  std::snprintf(text, sizeof text, "0x%x w=0x%llx l=0x%llx", seen.message,
                static_cast<unsigned long long>(seen.wParam),
                static_cast<unsigned long long>(seen.lParam));
  return text;
}

// What reached the host's own procedure since `from`.
std::vector<Seen> hostSawSince(const standin::Host& host, std::size_t from) {
  std::vector<Seen> result;
  const auto& received = host.received();
  for (std::size_t i = from; i < received.size(); ++i)
    result.push_back(
        {received[i].message, received[i].wParam, received[i].lParam});
  return result;
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& each : lines)
    if (each == line) return true;
  return false;
}

bool isRegisteredMessage(UINT message) {
  return message >= 0xC000 && message <= 0xFFFF;
}

struct Ordinary {
  const char* name;
  bool posted;  // else sent
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct MotionCase {
  const char* name;
  std::int32_t values[6];
  std::vector<std::string> commands;
};

struct ButtonCase {
  const char* name;
  int number;
  bool pressed;
  std::vector<std::string> commands;
};

}  // namespace

int main() {
  Checks checks;
  const fs::path home = standin::sys::executableDir();
  const fs::path scratch =
      fs::temp_directory_path() /
      ("vexa-hook-chain-" + std::to_string(GetCurrentProcessId()));
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  fs::create_directories(scratch);
  {
    // Button 5 runs NextFrame; the driver's own controls stay hidden.
    std::ofstream seed(scratch / "DAVidiruziv.cfg", std::ios::binary);
    seed << "SBAL 1\r\nOpenConfigOnStartup 0\r\nFunction 4 NextFrame\r\n";
  }

  standin::Host::Options options;
  options.modulePath = (home / ".." / "plugin" / "vexa_spaceball.p").string();
  options.driverDir = (home / ".." / "drivers").string();
  options.settingsDir = scratch.string();
  options.snapshotDir = scratch.string();
  {
    standin::Host host(options);
    std::vector<std::string> output;
    std::vector<std::string> sent;
    host.output = [&](const std::string& line) { output.push_back(line); };
    host.commandSink = [&](const char* line) { sent.push_back(line); };

    std::string why;
    const bool loaded = host.load(&why);
    checks.check(loaded, "the module loads: " + why);
    if (!loaded) return checks.finish();
    const HWND window = host.mainWindow();
    checks.check(window != nullptr && IsWindow(window) != 0,
                 "the host has a real main window");
    const LONG_PTR hostOwn = GetWindowLongPtrA(window, GWLP_WNDPROC);
    checks.check(!host.mainWindowHooked(),
                 "before apply the window runs the host's own procedure");

    host.apply();
    checks.check(contains(output, "device< open"), "apply opens the device");
    checks.check(contains(output, "device< ui-mode 0"),
                 "the seeded settings were read (ui-mode 0)");
    const LONG_PTR ours = GetWindowLongPtrA(window, GWLP_WNDPROC);
    checks.check(host.mainWindowHooked() && ours != hostOwn,
                 "apply hooks the main window");

    behindLater = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&laterHook)));
    checks.check(reinterpret_cast<LONG_PTR>(behindLater) == ours,
                 "the later hook replaces ours");

    const Ordinary ordinary[] = {
        {"sent WM_USER+1", false, WM_USER + 1, 0x1234, 0x5678},
        {"sent WM_NULL", false, WM_NULL, 0, 0},
        {"sent with every bit set", false, WM_APP + 3, ~WPARAM{0}, LPARAM{-1}},
        {"posted WM_USER+99", true, WM_USER + 99, 7, -42},
        {"posted WM_APP+7, high bits", true, WM_APP + 7,
         static_cast<WPARAM>(INTPTR_MAX), static_cast<LPARAM>(INTPTR_MIN)},
    };
    for (const Ordinary& c : ordinary) {
      const std::string name = c.name;
      const Seen expected{c.message, c.wParam, c.lParam};
      laterSaw.clear();
      sent.clear();
      const std::size_t before = host.received().size();
      if (c.posted) {
        checks.check(PostMessageA(window, c.message, c.wParam, c.lParam) != 0,
                     name + ": posted");
        host.pump();
      } else {
        const LRESULT result =
            SendMessageA(window, c.message, c.wParam, c.lParam);
        checks.check(
            result == standin::Host::resultFor(c.message, c.wParam, c.lParam),
            name + ": the result comes back through both hooks");
      }
      checks.check(laterSaw.size() == 1 && laterSaw[0] == expected,
                   name + ": the later hook saw exactly " + describe(expected));
      const std::vector<Seen> hostSaw = hostSawSince(host, before);
      checks.check(hostSaw.size() == 1 && hostSaw[0] == expected,
                   name + ": the host's own procedure saw exactly " +
                       describe(expected));
      checks.check(sent.empty(), name + ": no command sent");
    }

    // A device event is one posted message, whatever it carries.
    UINT deviceMessage = 0;
    auto checkDeviceEvent = [&](const std::string& name, auto&& feed,
                                const std::vector<std::string>& expected) {
      laterSaw.clear();
      sent.clear();
      const std::size_t before = host.received().size();
      checks.check(feed(), name + ": the driver posted the event");
      checks.check(sent == expected,
                   name + ": sent " + std::to_string(sent.size()) +
                       " command(s), expected " +
                       std::to_string(expected.size()) +
                       (sent.empty() ? "" : ", first: " + sent[0]));
      checks.check(
          laterSaw.size() == 1 && isRegisteredMessage(laterSaw[0].message),
          name + ": the later hook saw the one device message");
      if (!laterSaw.empty()) {
        if (deviceMessage == 0) deviceMessage = laterSaw[0].message;
        checks.check(laterSaw[0].message == deviceMessage,
                     name + ": every device event is the same message");
      }
      checks.check(hostSawSince(host, before) == laterSaw,
                   name + ": the host's own procedure saw it unchanged");
    };
    const MotionCase motions[] = {
        {"push", {350, 0, -20, 0, 0, 0}, {"AddPosition 0.35 0 -0.02"}},
        {"twist", {0, 0, 0, 0, 15, 0}, {"AddRotation -1.5 -0 -0"}},
        {"push and twist",
         {1000, 0, 0, 20, -5, 3},
         {"AddPosition 1 0 0", "AddRotation 0.5 -2 -0.3"}},
    };
    for (const MotionCase& c : motions)
      checkDeviceEvent(
          c.name, [&] { return host.motion(c.values); }, c.commands);
    const ButtonCase buttons[] = {
        {"button 5 down", 5, true, {"NextFrame"}},
        {"button 5 up", 5, false, {}},
        {"button 6 down, nothing assigned", 6, true, {}},
    };
    for (const ButtonCase& c : buttons)
      checkDeviceEvent(
          c.name, [&] { return host.button(c.number, c.pressed); }, c.commands);

    const LONG_PTR unhooked = SetWindowLongPtrA(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(behindLater));
    checks.check(unhooked == reinterpret_cast<LONG_PTR>(&laterHook),
                 "the later hook was still in place");
    checks.check(GetWindowLongPtrA(window, GWLP_WNDPROC) == ours,
                 "ours is back on top");

    checks.check(host.remove(), "the handler is removed");
    checks.check(contains(output, "device< close"), "remove closes the device");
    checks.check(GetWindowLongPtrA(window, GWLP_WNDPROC) == hostOwn,
                 "after remove the window runs the host's own procedure");
    checks.check(!host.mainWindowHooked(), "the host sees no hook");

    laterSaw.clear();
    sent.clear();
    const std::size_t before = host.received().size();
    SendMessageA(window, WM_USER + 5, 1, 2);
    checks.check(
        hostSawSince(host, before) == std::vector<Seen>{{WM_USER + 5, 1, 2}},
        "after remove messages reach the host directly");
    checks.check(laterSaw.empty(), "the later hook is out of the chain");
    const std::int32_t push[6] = {350, 0, 0, 0, 0, 0};
    checks.check(!host.motion(push) && sent.empty(),
                 "after remove no device event is sent");
    checks.check(
        host.settingsFile().find("Function 4 NextFrame") != std::string::npos,
        "remove wrote the settings file");
    std::string errors;
    for (const std::string& line : output)
      if (line.rfind("error< ", 0) == 0) errors += " [" + line + "]";
    checks.check(errors.empty(), "no handler errors, got" + errors);
  }
  fs::remove_all(scratch, ignored);
  return checks.finish();
}
