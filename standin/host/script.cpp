#include "standin/host/script.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

#include "standin/panels/panel_host.h"

namespace standin {

namespace {

std::vector<std::string> split(const std::string& line) {
  std::istringstream words(line);
  std::vector<std::string> result;
  for (std::string word; words >> word;) result.push_back(word);
  return result;
}

// The text after the first `count` words, as typed.
std::string restAfter(const std::string& line, int count) {
  std::size_t at = 0;
  for (int i = 0; i < count; ++i) {
    at = line.find_first_not_of(" \t", at);
    at = line.find_first_of(" \t", at);
    if (at == std::string::npos) return "";
  }
  at = line.find_first_not_of(" \t", at);
  return at == std::string::npos ? "" : line.substr(at);
}

bool toInt(const std::string& word, std::int32_t* value) {
  const char* end = word.data() + word.size();
  auto [ptr, error] = std::from_chars(word.data(), end, *value);
  return error == std::errc() && ptr == end;
}

bool onOff(const std::string& word, bool* on) {
  if (word == "on") return *on = true, true;
  if (word == "off") return *on = false, true;
  return false;
}

const char* kHelp =
    "layout-sim: a stand-in for LightWave Layout that loads the SpaceBall\n"
    "plug-in and drives it, as a user and a Spaceball would.\n"
    "\n"
    "usage: layout-sim [options] demo        run the built-in session\n"
    "       layout-sim [options] run FILE    run a script\n"
    "       layout-sim [options] servers     print the server table\n"
    "       layout-sim [options]             read verbs at a prompt\n"
    "\n"
    "options:\n"
    "  --module PATH     the plug-in to load (default: the one built\n"
    "                    beside layout-sim)\n"
    "  --settings DIR    Layout's settings directory (default: a\n"
    "                    per-user directory)\n"
    "  --snapshots DIR   where snapshot PNGs go (default: .)\n"
    "  --drivers DIR     where the stand-in driver variants are\n"
    "\n"
    "script verbs, one a line; '#' starts a comment:\n"
    "  servers                     the plug-in's server table\n"
    "  apply | remove              apply or remove the master handler\n"
    "  generic NAME [VERSION]      run a LayoutGeneric server (a command)\n"
    "  options                     the handler's options (config panel)\n"
    "  run TEXT...                 Layout runs a command line\n"
    "  render-done                 a render has finished\n"
    "  motion TX TY TZ RX RY RZ    push and twist the ball\n"
    "  button N | release N        press or release button N\n"
    "  message                     an ordinary window message\n"
    "  device present|absent|missing-function|missing-error-value\n"
    "                              what \"siappdll\" is for the next load\n"
    "  device no-device|device     whether a Spaceball is attached\n"
    "  host layout|other           which product \"System ID\" reports\n"
    "  withhold|provide SERVICE    system-id, command, display, directory,\n"
    "                              panels, messages\n"
    "  panel select ROW | panel type TEXT | panel capture on|off\n"
    "  panel check open-on-activation on|off\n"
    "  panel click Configure|About | panel close\n"
    "  key CODE                    a key to the About panel (13: Enter)\n"
    "  snapshot config|about FILE.png\n"
    "  state | settings            the plug-in's state; the settings file\n"
    "  say TEXT...                 print a line of narration\n"
    "\n"
    "output: layout< LINE (a command line sent to Layout), device< ...\n"
    "(what the driver was asked), error< TEXT (the handler's error),\n"
    "message< TEXT (Layout's message box), snapshot< FILE, state< ...,\n"
    "settings< LINE, host< ... (what the stand-in itself has to say).\n";

bool serviceNamed(const std::string& word, Service* service) {
  static const std::pair<const char*, Service> names[] = {
      {"system-id", Service::SystemId},
      {"command", Service::CommandInterface},
      {"display", Service::DisplayInfo},
      {"directory", Service::DirectoryInfo},
      {"panels", Service::PanelServices},
      {"messages", Service::Messages},
  };
  for (const auto& [name, value] : names) {
    if (word == name) return *service = value, true;
  }
  return false;
}

}  // namespace

ScriptRunner::ScriptRunner(Host& host, std::ostream& out)
    : host_(host), out_(out) {
  if (host_.panels() != nullptr)
    host_.panels()->modalStep = [this] { return nextModalLine(); };
}

const char* ScriptRunner::help() { return kHelp; }

bool ScriptRunner::nextModalLine() {
  // While a modal panel runs, the script's next lines are its events.
  std::string line;
  while (readLine_ && readLine_(&line)) {
    std::string why;
    if (execute(line, &why)) return true;
    refuse_(why);
    return false;
  }
  return false;
}

int ScriptRunner::run(const std::string& name, std::istream& in,
                      std::ostream& err, bool interactive) {
  int number = 0;
  bool failed = false;
  readLine_ = [&](std::string* line) {
    if (failed) return false;
    if (interactive) out_ << "layout> " << std::flush;
    if (!std::getline(in, *line)) return false;
    ++number;
    return true;
  };
  refuse_ = [&](const std::string& why) {
    err << name << ":" << number << ": " << why << "\n";
    if (!interactive) failed = true;
  };
  std::string line;
  while (readLine_(&line)) {
    std::string why;
    if (!execute(line, &why)) refuse_(why);
  }
  if (interactive) out_ << "\n";
  readLine_ = nullptr;
  return failed ? 1 : 0;
}

bool ScriptRunner::execute(const std::string& rawLine, std::string* why) {
  std::string line = rawLine.substr(0, rawLine.find('#'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::vector<std::string> w = split(line);
  if (w.empty()) return true;
  const std::string& verb = w[0];
  auto arity = [&](std::size_t n, const char* usage) {
    if (w.size() == n) return true;
    *why = std::string("usage: ") + usage;
    return false;
  };

  if (verb == "servers") {
    if (!arity(1, "servers")) return false;
    for (const ServerRow& row : host_.servers()) {
      out_ << "servers< " << row.row << " " << row.className << " \""
           << row.name << "\" \"" << row.userName << "\" \"" << row.buttonName
           << "\"\n";
    }
    return true;
  }
  if (verb == "apply") {
    if (!arity(1, "apply")) return false;
    host_.apply();
    return true;
  }
  if (verb == "remove") {
    if (!arity(1, "remove")) return false;
    if (!host_.remove()) out_ << "host< no handler to remove\n";
    return true;
  }
  if (verb == "generic") {
    std::int32_t version = lw::kLayoutGenericVersion;
    if (w.size() == 3 && !toInt(w[2], &version)) {
      *why = "generic: the version must be a number: " + w[2];
      return false;
    }
    if (w.size() != 2 && w.size() != 3) {
      *why = "usage: generic NAME [VERSION]";
      return false;
    }
    return host_.generic(w[1], version) >= 0 ||
           (*why = "no LayoutGeneric server named " + w[1], false);
  }
  if (verb == "options") {
    if (!arity(1, "options")) return false;
    host_.options();
    return true;
  }
  if (verb == "run") {
    std::string command = restAfter(line, 1);
    if (command.empty()) {
      *why = "usage: run TEXT...";
      return false;
    }
    host_.run(command);
    return true;
  }
  if (verb == "render-done") {
    if (!arity(1, "render-done")) return false;
    host_.renderDone();
    return true;
  }
  if (verb == "motion") {
    if (!arity(7, "motion TX TY TZ RX RY RZ")) return false;
    std::int32_t values[6];
    for (int i = 0; i < 6; ++i) {
      if (!toInt(w[i + 1], &values[i])) {
        *why = "motion: not a 32-bit whole number: " + w[i + 1];
        return false;
      }
    }
    if (!host_.motion(values)) out_ << "host< no device open: nothing sent\n";
    return true;
  }
  if (verb == "button" || verb == "release") {
    std::int32_t number = 0;
    if (!arity(2, "button N | release N")) return false;
    if (!toInt(w[1], &number)) {
      *why = verb + ": not a whole number: " + w[1];
      return false;
    }
    if (!host_.button(number, verb == "button"))
      out_ << "host< no device open: nothing sent\n";
    return true;
  }
  if (verb == "message") {
    if (!arity(1, "message")) return false;
    const std::size_t before = host_.received().size();
    host_.sendOrdinary(0x0401, 0x1234, 0x5678);
    out_ << (host_.received().size() > before
                 ? "host< Layout's window received the message\n"
                 : "host< Layout's window did not receive the message\n");
    return true;
  }
  if (verb == "device") {
    static const std::pair<const char*, Driver> kinds[] = {
        {"present", Driver::Present},
        {"absent", Driver::Absent},
        {"missing-function", Driver::MissingFunction},
        {"missing-error-value", Driver::MissingErrorValue},
    };
    if (w.size() == 2) {
      for (const auto& [name, kind] : kinds) {
        if (w[1] == name) {
          host_.setDriver(kind);
          return true;
        }
      }
      if (w[1] == "no-device" || w[1] == "device") {
        host_.setDevicePresent(w[1] == "device");
        return true;
      }
    }
    *why =
        "usage: device present|absent|missing-function|missing-error-value"
        "|no-device|device";
    return false;
  }
  if (verb == "host") {
    if (w.size() == 2 && (w[1] == "layout" || w[1] == "other")) {
      host_.setProduct(w[1] == "layout" ? Product::Layout : Product::Other);
      return true;
    }
    *why = "usage: host layout|other";
    return false;
  }
  if (verb == "withhold" || verb == "provide") {
    Service service;
    if (w.size() != 2 || !serviceNamed(w[1], &service)) {
      *why = "usage: " + verb +
             " system-id|command|display|directory|panels|messages";
      return false;
    }
    host_.withhold(service, verb == "withhold");
    return true;
  }
  if (verb == "state") {
    if (!arity(1, "state")) return false;
    ModuleState s = host_.inspect();
    if (!s.available) {
      out_ << "state< unavailable: " << s.why << "\n";
      return true;
    }
    out_ << "state< enabled " << s.enabled << " motionAllowed "
         << s.motionAllowed << " moveMode " << s.moveMode
         << " openConfigOnStartup " << s.openConfigOnStartup << "\n";
    out_ << "state< device " << (host_.deviceOpen() ? "open" : "closed")
         << " instanceCount " << s.instanceCount << " window "
         << (host_.mainWindowHooked() ? "hooked" : "unhooked")
         << " services-held "
         << host_.held(Service::CommandInterface) +
                host_.held(Service::DisplayInfo)
         << "\n";
    if (host_.panels() != nullptr)
      out_ << "state< config panel "
           << (!host_.panels()->configPanelExists() ? "not made"
               : host_.panels()->configPanelOpen()  ? "open"
                                                    : "closed")
           << "\n";
    for (const auto& [slot, text] : s.slots)
      out_ << "state< slot " << slot << " (button " << slot + 1 << "): " << text
           << "\n";
    return true;
  }
  if (verb == "settings") {
    if (!arity(1, "settings")) return false;
    std::string text = host_.settingsFile();
    if (text.empty()) out_ << "settings< (no file, or empty)\n";
    std::size_t at = 0;
    while (at < text.size()) {
      std::size_t end = text.find("\r\n", at);
      if (end == std::string::npos) end = text.size();
      out_ << "settings< " << text.substr(at, end - at) << "\n";
      at = end + 2;
    }
    return true;
  }
  if (verb == "say") {
    out_ << "-- " << restAfter(line, 1) << "\n";
    return true;
  }
  PanelHost* panels = host_.panels();
  if (verb == "panel" && w.size() >= 2) {
    const std::string& what = w[1];
    bool on = false;
    std::int32_t row = 0;
    if (what == "select" && w.size() == 3 && toInt(w[2], &row))
      return panels->selectRow(row, why);
    if (what == "type") return panels->typeCommand(restAfter(line, 2), why);
    if (what == "capture" && w.size() == 3 && onOff(w[2], &on))
      return panels->setCapture(on, why);
    if (what == "check" && w.size() == 4 && w[2] == "open-on-activation" &&
        onOff(w[3], &on))
      return panels->setOpenOnActivation(on, why);
    if (what == "click" && w.size() == 3) return panels->click(w[2], why);
    if (what == "close" && w.size() == 2) return panels->closeConfigPanel(why);
    *why =
        "usage: panel select ROW | type TEXT | capture on|off | check "
        "open-on-activation on|off | click Configure|About | close";
    return false;
  }
  if (verb == "key") {
    std::int32_t code = 0;
    if (w.size() != 2 || !toInt(w[1], &code)) {
      *why = "usage: key CODE";
      return false;
    }
    return panels->key(code, why);
  }
  if (verb == "snapshot") {
    if (w.size() != 3 || (w[1] != "config" && w[1] != "about")) {
      *why = "usage: snapshot config|about FILE.png";
      return false;
    }
    std::string file = w[2];
    if (!file.empty() && file[0] != '/' && !host_.config().snapshotDir.empty())
      file = host_.config().snapshotDir + "/" + file;
    if (!PanelHost::snapshotsAvailable()) {
      out_ << "host< PNG snapshots are not made on this platform: " << file
           << " skipped\n";
      return true;
    }
    if (!panels->snapshot(w[1], file, why)) return false;
    out_ << "snapshot< " << file << "\n";
    return true;
  }
  *why = "unknown verb: " + verb;
  return false;
}

}  // namespace standin
