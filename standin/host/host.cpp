#include "standin/host/host.h"

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "standin/host/system.h"
#include "standin/panels/panel_host.h"
#include "standin/siappdll/driver_feed.h"

namespace standin {

namespace {

// Bounds a library must keep to be taken seriously.
constexpr int kMaxServerRows = 1024;

constexpr std::uint32_t kLayoutProductId = 0x00000001;
constexpr std::uint32_t kModelerProductId = 0x10000001;

Host* current = nullptr;

const char* serviceName(Service service) {
  switch (service) {
    case Service::SystemId:
      return lw::kSystemIdGlobal;
    case Service::CommandInterface:
      return lw::kCommandGlobal;
    case Service::DisplayInfo:
      return lw::kDisplayInfoGlobal;
    case Service::DirectoryInfo:
      return lw::kDirectoryGlobal;
    case Service::PanelServices:
      return lw::kPanelServicesGlobal;
    case Service::Messages:
      return lw::kMessagesGlobal;
  }
  return "";
}

std::string driverSubdir(Driver driver) {
  switch (driver) {
    case Driver::Present:
      return "present";
    case Driver::MissingFunction:
      return "missing-function";
    case Driver::MissingErrorValue:
      return "missing-error-value";
    case Driver::Absent:
      break;
  }
  return "";
}

// One applied master handler: the records the host handed its activation.
struct AppliedHandler {
  lw::InstanceFuncs inst{};
  lw::ItemFuncs item{};
  lw::MasterHandler record{};
  lw::Instance instance = nullptr;
};

}  // namespace

struct Host::Impl {
  Host& self;
  Options options;
  void* library = nullptr;
  const lw::ModuleDescriptor* descriptor = nullptr;
  void* startupValue = nullptr;
  std::vector<const lw::ServerRecord*> rows;

  bool withheld[kServiceCount] = {};
  int heldCount[kServiceCount] = {};
  Product product = Product::Layout;

  HWND window = nullptr;
  lw::HostDisplayInfo displayInfo{};
  lw::MessageFuncs messages{};
  std::vector<Received> received;
  std::vector<std::string> calls;
  std::vector<std::unique_ptr<AppliedHandler>> handlers;

  Driver driver = Driver::Present;
  bool devicePresent = true;
  void* driverLibrary = nullptr;  // the host's own hold on the variant
  standin_driver::FeedFn feed = nullptr;
  standin_driver::IsOpenFn isOpen = nullptr;
  standin_driver::QueriesFn queries = nullptr;
  std::string directoryText;
  std::unique_ptr<PanelHost> panels = std::make_unique<PanelHost>();

  explicit Impl(Host& host, Options opts)
      : self(host), options(std::move(opts)) {}

  void say(const std::string& line) {
    if (self.output) self.output(line);
  }

  // --- services -----------------------------------------------------------

  static void* lookup(const char* name, int use) {
    return current != nullptr ? current->impl_->answer(name, use) : nullptr;
  }

  void* answer(const char* name, int use) {
    for (int i = 0; i < kServiceCount; ++i) {
      auto service = static_cast<Service>(i);
      if (std::strcmp(name, serviceName(service)) != 0) continue;
      if (withheld[i]) return nullptr;
      if (use == lw::kGlobalAcquire) ++heldCount[i];
      if (use == lw::kGlobalRelease) {
        --heldCount[i];
        return nullptr;
      }
      return serviceFor(service);
    }
    return nullptr;
  }

  void* serviceFor(Service service) {
    switch (service) {
      case Service::SystemId:
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(
            product == Product::Layout ? kLayoutProductId : kModelerProductId));
      case Service::CommandInterface:
        return reinterpret_cast<void*>(&commandFromModule);
      case Service::DisplayInfo:
        return &displayInfo;
      case Service::DirectoryInfo:
        return reinterpret_cast<void*>(&directory);
      case Service::PanelServices:
        return panels->services();
      case Service::Messages:
        return &messages;
    }
    return nullptr;
  }

  static int commandFromModule(const char* line) {
    if (current == nullptr || line == nullptr) return 0;
    current->commandSink(line);
    return 1;
  }

  static int evaluate(void* data, const char* line) {
    auto* impl = static_cast<Impl*>(data);
    impl->say(std::string("layout< ") + line);
    impl->self.run(line);
    return 1;
  }

  static const char* directory(const char* kind) {
    if (current == nullptr || std::strcmp(kind, "Settings") != 0)
      return nullptr;
    return current->impl_->options.settingsDir.c_str();
  }

  static void message(const char* text, const char* second) {
    if (current == nullptr) return;
    std::string line = "message< ";
    line += text != nullptr ? text : "";
    if (second != nullptr) line += std::string(" ") + second;
    current->impl_->say(line);
  }

  // --- window -------------------------------------------------------------

  static LRESULT CALLBACK layoutWindowProc(HWND window, UINT message,
                                           WPARAM wParam, LPARAM lParam) {
    if (current != nullptr)
      current->impl_->received.push_back({window, message, wParam, lParam});
    return resultFor(message, wParam, lParam);
  }

  // --- driver -------------------------------------------------------------

  static void onDriverCall(const char* call, void* context) {
    auto* impl = static_cast<Impl*>(context);
    impl->calls.push_back(call);
    std::string text(call);
    if (text == "open" || text == "close" || text.rfind("beep ", 0) == 0 ||
        text.rfind("ui-mode ", 0) == 0) {
      impl->say("device< " + text);
    }
  }

  static void onLibraryEvent(const char* event, void* context) {
    static_cast<Impl*>(context)->calls.push_back(event);
  }

  void holdDriver() {
    if (driverLibrary != nullptr) sys::closeLibrary(driverLibrary);
    driverLibrary = nullptr;
    feed = nullptr;
    isOpen = nullptr;
    queries = nullptr;
    std::string subdir = driverSubdir(driver);
    if (subdir.empty()) {
      sys::chooseDeviceLibrary("");
      return;
    }
    std::string file =
        sys::libraryFile(options.driverDir + "/" + subdir, "siappdll");
    sys::chooseDeviceLibrary(file);
    std::string why;
    driverLibrary = sys::openLibrary(file, &why);
    if (driverLibrary == nullptr) {
      say("host< cannot load the stand-in driver: " + why);
      return;
    }
    auto setObserver = reinterpret_cast<standin_driver::SetObserverFn>(
        sys::findSymbol(driverLibrary, "StandinDriverSetObserver"));
    auto setPresent = reinterpret_cast<standin_driver::SetPresentFn>(
        sys::findSymbol(driverLibrary, "StandinDriverSetPresent"));
    feed = reinterpret_cast<standin_driver::FeedFn>(
        sys::findSymbol(driverLibrary, "StandinDriverFeed"));
    isOpen = reinterpret_cast<standin_driver::IsOpenFn>(
        sys::findSymbol(driverLibrary, "StandinDriverIsOpen"));
    queries = reinterpret_cast<standin_driver::QueriesFn>(
        sys::findSymbol(driverLibrary, "StandinDriverEventQueries"));
    if (setObserver != nullptr) setObserver(&onDriverCall, this);
    if (setPresent != nullptr) setPresent(devicePresent ? 1 : 0);
  }

  // --- module -------------------------------------------------------------

  const lw::ServerRecord* find(const std::string& className,
                               const std::string& name) const {
    for (const lw::ServerRecord* row : rows) {
      if (className == row->className && name == row->name) return row;
    }
    return nullptr;
  }

  void reportEvent(int code, void* data) {
    // A copy: an event may apply or remove handlers.
    std::vector<AppliedHandler*> live;
    for (auto& handler : handlers) live.push_back(handler.get());
    for (AppliedHandler* handler : live) {
      if (handler->record.event == nullptr) continue;
      lw::MasterAccess access{code, data};
      handler->record.event(handler->instance, &access);
    }
  }
};

Host::Host(Options options)
    : impl_(std::make_unique<Impl>(*this, std::move(options))) {
  current = this;
  output = [](const std::string&) {};
  commandSink = [this](const char* line) {
    impl_->say(std::string("layout< ") + line);
    run(line);
  };
  impl_->window = sys::createWindow(&Impl::layoutWindowProc);
  impl_->displayInfo.window = impl_->window;
  impl_->messages.info = &Impl::message;
  impl_->messages.error = &Impl::message;
  impl_->messages.warning = &Impl::message;
  sys::observeLibraries(&Impl::onLibraryEvent, impl_.get());
  impl_->holdDriver();
}

Host::~Host() {
  unload();
  sys::observeLibraries(nullptr, nullptr);
  if (impl_->driverLibrary != nullptr) sys::closeLibrary(impl_->driverLibrary);
  sys::destroyWindow(impl_->window);
  if (current == this) current = nullptr;
}

bool Host::load(std::string* why) {
  unload();
  void* library = sys::openLibrary(impl_->options.modulePath, why);
  if (library == nullptr) return false;
  auto refuse = [&](const std::string& reason) {
    *why = impl_->options.modulePath + ": " + reason;
    sys::closeLibrary(library);
    return false;
  };
  auto* descriptor = static_cast<const lw::ModuleDescriptor*>(
      sys::findSymbol(library, "_mod_descrip"));
  if (descriptor == nullptr) return refuse("no module descriptor _mod_descrip");
  if (descriptor->sync != lw::kModuleSync) {
    std::ostringstream text;
    text << "wrong sync word 0x" << std::hex << descriptor->sync;
    return refuse(text.str());
  }
  if (descriptor->version != lw::kModuleVersion)
    return refuse("unsupported descriptor version " +
                  std::to_string(descriptor->version));
  if (descriptor->machine != lw::kMachineWord) {
    std::ostringstream text;
    text << "built for another machine (word 0x" << std::hex
         << descriptor->machine << ", this host is 0x" << lw::kMachineWord
         << ")";
    return refuse(text.str());
  }
  if (descriptor->startup == nullptr || descriptor->servers == nullptr)
    return refuse("descriptor without startup or server table");
  std::vector<const lw::ServerRecord*> rows;
  const lw::ServerRecord* row = descriptor->servers;
  for (; row->className != nullptr || row->name != nullptr ||
         row->activate != nullptr || row->tagInfo != nullptr;
       ++row) {
    if (rows.size() == kMaxServerRows)
      return refuse("server table without a terminating row within " +
                    std::to_string(kMaxServerRows) + " rows");
    if (row->className == nullptr || row->name == nullptr ||
        row->activate == nullptr)
      return refuse("server row " + std::to_string(rows.size()) +
                    " is incomplete");
    rows.push_back(row);
  }
  void* started = descriptor->startup();
  if (started == nullptr) return refuse("startup failed");
  impl_->library = library;
  impl_->descriptor = descriptor;
  impl_->startupValue = started;
  impl_->rows = std::move(rows);
  return true;
}

void Host::unload() {
  if (impl_->library == nullptr) return;
  while (remove()) {
  }
  impl_->descriptor->shutdown(impl_->startupValue);
  sys::closeLibrary(impl_->library);
  impl_->library = nullptr;
  impl_->descriptor = nullptr;
  impl_->rows.clear();
}

bool Host::loaded() const { return impl_->library != nullptr; }

const lw::ModuleDescriptor* Host::descriptor() const {
  return impl_->descriptor;
}

void* Host::startupValue() const { return impl_->startupValue; }

std::vector<ServerRow> Host::servers() const {
  std::vector<ServerRow> result;
  for (std::size_t i = 0; i < impl_->rows.size(); ++i) {
    const lw::ServerRecord* row = impl_->rows[i];
    ServerRow entry{
        static_cast<int>(i), row->className, row->name, "", "", 0, 0};
    for (const lw::ServerTagInfo* tag = row->tagInfo;
         tag != nullptr && tag->string != nullptr; ++tag) {
      if (tag->tag == (lw::kTagUserName | lw::kLanguageUsEnglish)) {
        entry.userName = tag->string;
        ++entry.userNames;
      } else if (tag->tag == (lw::kTagButtonName | lw::kLanguageUsEnglish)) {
        entry.buttonName = tag->string;
        ++entry.buttonNames;
      }
    }
    result.push_back(entry);
  }
  return result;
}

int Host::activate(const std::string& className, const std::string& name,
                   int version, void* local) {
  const lw::ServerRecord* row = impl_->find(className, name);
  if (row == nullptr) return -1;
  return row->activate(version, &Impl::lookup, local, impl_->startupValue);
}

void Host::withhold(Service service, bool withheld) {
  impl_->withheld[static_cast<int>(service)] = withheld;
}

void Host::setProduct(Product product) { impl_->product = product; }

int Host::held(Service service) const {
  return impl_->heldCount[static_cast<int>(service)];
}

void Host::apply(const std::string& serverName, int version) {
  auto handler = std::make_unique<AppliedHandler>();
  handler->record.inst = &handler->inst;
  handler->record.item = &handler->item;
  int result = activate("MasterHandler", serverName, version, &handler->record);
  if (result != lw::kActivateOk) {
    impl_->say("host< MasterHandler " + serverName +
               (result < 0 ? " is not offered"
                           : " refused version " + std::to_string(version)));
    return;
  }
  if (handler->inst.create == nullptr) {
    impl_->say("host< MasterHandler " + serverName + " gave no create");
    return;
  }
  lw::ErrorText error = nullptr;
  handler->instance = handler->inst.create(nullptr, nullptr, &error);
  if (handler->instance == nullptr) {
    impl_->say(std::string("error< ") +
               (error != nullptr ? error : "(no error text)"));
    return;
  }
  impl_->handlers.push_back(std::move(handler));
}

bool Host::remove() {
  if (impl_->handlers.empty()) return false;
  std::unique_ptr<AppliedHandler> handler = std::move(impl_->handlers.back());
  impl_->handlers.pop_back();
  if (handler->inst.destroy != nullptr)
    handler->inst.destroy(handler->instance);
  return true;
}

int Host::liveInstances() const {
  return static_cast<int>(impl_->handlers.size());
}

int Host::generic(const std::string& name, int version) {
  lw::LayoutGeneric record{&Impl::evaluate, impl_.get()};
  int result = activate("LayoutGeneric", name, version, &record);
  if (result > 0)
    impl_->say("host< LayoutGeneric " + name + " refused version " +
               std::to_string(version));
  return result;
}

void Host::options(int version) {
  lw::Interface face{};
  face.inst =
      impl_->handlers.empty() ? nullptr : impl_->handlers.back()->instance;
  int result =
      activate("MasterInterface", "Vexa_SpaceBallMaster", version, &face);
  if (result != lw::kActivateOk) {
    impl_->say("host< MasterInterface refused version " +
               std::to_string(version));
    return;
  }
  if (face.options == nullptr) return;
  lw::ErrorText error = face.options(face.inst);
  if (error != nullptr) impl_->say(std::string("error< ") + error);
}

void Host::run(const std::string& commandLine) {
  // The handlers hear of the command before Layout carries it out, as a
  // render lock must be in place before the render starts.
  std::string text = commandLine;
  impl_->reportEvent(lw::kEventCommand, text.data());
  std::istringstream words(commandLine);
  std::string verb, className, name;
  words >> verb >> className >> name;
  if (verb == "ApplyServer" && className == "MasterHandler" && !name.empty())
    apply(name);
}

void Host::renderDone() { impl_->reportEvent(lw::kEventRenderDone, nullptr); }

void Host::setDriver(Driver driver) {
  impl_->driver = driver;
  impl_->holdDriver();
}

void Host::setDevicePresent(bool present) {
  impl_->devicePresent = present;
  impl_->holdDriver();
}

bool Host::deviceOpen() const {
  return impl_->isOpen != nullptr && impl_->isOpen() != 0;
}

long Host::eventQueries() const {
  return impl_->queries != nullptr ? impl_->queries() : 0;
}

bool Host::feed(const siapp::SiSpwEvent& event) {
  if (impl_->feed == nullptr || impl_->feed(&event) == 0) return false;
  pump();
  return true;
}

bool Host::motion(const std::int32_t values[6]) {
  siapp::SiSpwEvent event{};
  event.type = siapp::kMotionEvent;
  std::memcpy(event.motion, values, sizeof event.motion);
  event.buttonPressed = -1;
  event.buttonReleased = -1;
  return feed(event);
}

bool Host::button(int number, bool pressed) {
  siapp::SiSpwEvent event{};
  event.type = siapp::kButtonEvent;
  event.buttonPressed = pressed ? number : -1;
  event.buttonReleased = pressed ? -1 : number;
  return feed(event);
}

LRESULT Host::sendOrdinary(UINT message, WPARAM wParam, LPARAM lParam) {
  return sys::send(impl_->window, message, wParam, lParam);
}

int Host::pump() { return sys::pump(); }

HWND Host::mainWindow() const { return impl_->window; }

bool Host::mainWindowHooked() const {
  return sys::windowProcOf(impl_->window) != &Impl::layoutWindowProc;
}

const std::vector<Host::Received>& Host::received() const {
  return impl_->received;
}

LRESULT Host::resultFor(UINT message, WPARAM wParam, LPARAM lParam) {
  return static_cast<LRESULT>(message * 31u + wParam * 7u) ^ lParam;
}

const std::vector<std::string>& Host::calls() const { return impl_->calls; }

PanelHost* Host::panels() { return impl_->panels.get(); }

ModuleState Host::inspect() const {
  if (impl_->library == nullptr) {
    ModuleState none;
    none.why = "no module loaded";
    return none;
  }
  return sys::inspectModule(impl_->library, impl_->options.modulePath);
}

std::string Host::settingsFile() const {
  std::ifstream file(impl_->options.settingsDir + "/DAVidiruziv.cfg",
                     std::ios::binary);
  if (!file) return {};
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

const Host::Options& Host::config() const { return impl_->options; }

}  // namespace standin
