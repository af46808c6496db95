// The stand-in Layout host: loads the built module through its descriptor
// alone, answers global lookups, owns the main window the module hooks, runs
// command lines as Layout does, and reports what the module does to it.
// One host per process: the global-lookup function the module keeps is a
// plain function pointer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/siapp.h"
#include "module/host.h"

namespace standin {

class PanelHost;

enum class Service {
  SystemId,
  CommandInterface,
  DisplayInfo,
  DirectoryInfo,
  PanelServices,
  Messages,
};
inline constexpr int kServiceCount = 6;

enum class Product { Layout, Other };

// What the name "siappdll" is for the module's next load of it.
enum class Driver { Present, Absent, MissingFunction, MissingErrorValue };

struct ServerRow {
  int row;
  std::string className;
  std::string name;
  std::string userName;
  std::string buttonName;
  int userNames;    // US English user names in the tag list
  int buttonNames;  // US English button names in the tag list
};

// A snapshot of the module's own state, read from its memory.
struct ModuleState {
  bool available = false;
  std::string why;  // when not available
  int enabled = 0, motionAllowed = 0, moveMode = 0, openConfigOnStartup = 0;
  int instanceCount = 0;
  bool commandHeld = false, displayHeld = false;
  void* hostGlobal = nullptr;  // the global-lookup function it keeps
  std::vector<std::pair<int, std::string>> slots;  // non-empty ones
};

class Host {
 public:
  struct Options {
    std::string modulePath;   // the built plug-in
    std::string driverDir;    // holds present/, missing-function/, ...
    std::string settingsDir;  // answered for "Directory Info"
    std::string snapshotDir;  // where snapshot files go
  };

  explicit Host(Options options);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // Everything the host reports, one line each ("layout< ...", ...).
  std::function<void(const std::string&)> output;
  // Every command line the module sends through the command function, as
  // it arrives; tests may replace it (it must not be empty).
  std::function<void(const char*)> commandSink;

  // Loading. False with a reason for a library the host refuses.
  bool load(std::string* why);
  void unload();
  bool loaded() const;
  std::vector<ServerRow> servers() const;
  const lw::ModuleDescriptor* descriptor() const;
  void* startupValue() const;

  // Activates a server by class and name with a chosen version; the result
  // the activation gave, or -1 when there is no such server.
  int activate(const std::string& className, const std::string& name,
               int version, void* local);

  // The host's services.
  void withhold(Service service, bool withheld);
  void setProduct(Product product);
  int held(Service service) const;  // acquired less released

  // Layout's own doings.
  void apply(const std::string& serverName = "Vexa_SpaceBallMaster",
             int version = lw::kMasterHandlerVersion);
  bool remove();  // the last applied instance; false when none
  int liveInstances() const;
  int generic(const std::string& name, int version = 2);
  void options(int version = lw::kMasterInterfaceVersion);
  // A command line Layout runs: reported to every live handler as a command
  // event, then carried out ("ApplyServer MasterHandler NAME" applies).
  void run(const std::string& commandLine);
  void renderDone();

  // The device and the window.
  void setDriver(Driver driver);
  void setDevicePresent(bool present);
  bool deviceOpen() const;
  // How often the module has asked the driver about a message.
  long eventQueries() const;
  bool motion(const std::int32_t values[6]);
  bool button(int number, bool pressed);
  bool feed(const siapp::SiSpwEvent& event);  // any event, for bad input
  LRESULT sendOrdinary(UINT message, WPARAM wParam, LPARAM lParam);
  int pump();
  HWND mainWindow() const;
  bool mainWindowHooked() const;  // its procedure is not the host's own
  struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  // Messages that reached the host's own window procedure.
  const std::vector<Received>& received() const;
  static LRESULT resultFor(UINT message, WPARAM wParam, LPARAM lParam);

  // Every call the module made into the driver, and every library event of
  // the window system ("load siappdll ok", "resolve SiBeep ok", ...), in one
  // ordered list.
  const std::vector<std::string>& calls() const;

  PanelHost* panels();
  ModuleState inspect() const;
  std::string settingsFile() const;
  const Options& config() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace standin
