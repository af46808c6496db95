// The stand-in for Layout's panel services ("LWPanelServices"): panels with
// attributes, the five control types, list callbacks, draw functions and the
// modal event loop. Every panel draws into a raster that can be written as
// a PNG. The verbs below are what a person does to the panels.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "module/host.h"

namespace standin {

class PanelHost {
 public:
  PanelHost();
  ~PanelHost();
  PanelHost(const PanelHost&) = delete;
  PanelHost& operator=(const PanelHost&) = delete;

  // The record the host hands out as "LWPanelServices".
  lw::PanelFuncs* services();

  // Faults a test can choose: panel creation refused; the n-th addControl
  // (counted from 1 over the host's life) and every later one refused; 0
  // refuses none.
  void refusePanels(bool refuse);
  void refuseControlsFrom(int n);

  // While a panel runs its modal loop (handle with flags 3), this is called
  // for each next event until the panel is closed. Returning false means no
  // more events will come: the panel is closed by the host.
  std::function<bool()> modalStep;

  // What a person does to the configuration panel ("Spaceball Input Device
  // Driver"). Each returns false with a reason when it cannot be done (no
  // such panel, panel not open, no such control).
  bool selectRow(int row, std::string* why);
  bool typeCommand(const std::string& text, std::string* why);
  bool setCapture(bool on, std::string* why);
  bool setOpenOnActivation(bool on, std::string* why);
  bool click(const std::string& label, std::string* why);  // Configure|About
  bool closeConfigPanel(std::string* why);
  // A key to the About panel that is running its modal loop.
  bool key(int code, std::string* why);
  // Draws the named panel ("config" or "about") and writes it as a PNG.
  bool snapshot(const std::string& which, const std::string& file,
                std::string* why);

  // Inspection for tests.
  struct ControlInfo {
    std::string type;
    std::string label;
    int x, y, w, h;
    int intValue;
    std::string text;
  };
  bool configPanelExists() const;
  bool configPanelOpen() const;
  std::vector<ControlInfo> configControls() const;
  std::string listCell(int row, int column) const;  // through the callbacks
  int panelValue(const std::string& which, int tag) const;
  // Every call the module made into the panel services, one line each.
  const std::vector<std::string>& calls() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace standin
