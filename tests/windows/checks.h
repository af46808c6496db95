// The tally the Windows test programs keep: they run under Wine, where a
// program's exit status and a closing "N passed, N failed" line are what
// the driving script reads.
#pragma once

#include <cstdio>
#include <string>

namespace windows_tests {

class Checks {
 public:
  void check(bool ok, const std::string& what) {
    if (ok) {
      ++passed_;
    } else {
      ++failed_;
      std::printf("FAIL: %s\n", what.c_str());
    }
  }
  int finish() const {
    std::printf("%d passed, %d failed\n", passed_, failed_);
    return failed_ == 0 ? 0 : 1;
  }

 private:
  int passed_ = 0;
  int failed_ = 0;
};

}  // namespace windows_tests
