// The layout-sim script language: one verb a line, '#' starts a comment.
// Each line either acts on the host or is refused with a reason.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "standin/host/host.h"

namespace standin {

class ScriptRunner {
 public:
  ScriptRunner(Host& host, std::ostream& out);
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  // Runs every line of `in`. A bad line stops the run with
  // "NAME:LINE: what is wrong" on `err` and a result of 1; 0 otherwise.
  // Interactive runs prompt, report bad lines and go on.
  int run(const std::string& name, std::istream& in, std::ostream& err,
          bool interactive = false);

  // One line; false with the reason when it cannot be carried out.
  bool execute(const std::string& line, std::string* why);

  static const char* help();

 private:
  bool nextModalLine();

  Host& host_;
  std::ostream& out_;
  std::function<bool(std::string*)> readLine_;  // the current source
  std::function<void(const std::string&)> refuse_;
};

}  // namespace standin
