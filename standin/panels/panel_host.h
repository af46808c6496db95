// The stand-in for Layout's panel services ("LWPanelServices"): panels with
// attributes, the five control types, list callbacks, draw functions and the
// modal event loop. Every panel draws into a raster (panel_raster.h) that
// can be written as a PNG on Linux; Windows builds draw nothing and write no
// PNG, and behave the same in everything else. The verbs below are what a
// person does to the panels.
//
// Geometry, all in panel units (pixels):
// - text is monospaced: a text is kCharAdvance wide per character, and a
//   line of text is kLineHeight high (the display metrics' text height,
//   which a test may change with setDisplayMetrics);
// - the first control of a panel lands at (kMargin, kMargin), every later
//   one at the left margin just below the control added before it;
// - a control's box (X, Y, W, H) holds the control and the space after it:
//   kControlGapRight to its right and kControlGapBelow under it;
// - a panel's width, unless the module sets it, is the right-most box edge
//   plus kPanelSlack, settled when it is first read or the panel opens; its
//   height, unless set, follows the lowest box edge plus kPanelSlack.
// The raster of a panel adds a title bar and a frame around this area.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "module/host.h"

namespace standin {

class PanelHost {
 public:
  static constexpr int kCharAdvance = 7;
  static constexpr int kLineHeight = 16;
  static constexpr int kDisplayWidth = 1280;
  static constexpr int kDisplayHeight = 1024;
  static constexpr int kMargin = 10;
  static constexpr int kControlGapRight = 4;
  static constexpr int kControlGapBelow = 8;
  static constexpr int kPanelSlack = 6;
  // Where panel coordinate (0, 0) lies in a panel's raster.
  static constexpr int kFrameLeft = 8;
  static constexpr int kFrameTop = 30;
  // The host's palette colours for drawText.
  static constexpr int kColourBlack = 4139;
  static constexpr int kColourYellow = 4146;

  PanelHost();
  ~PanelHost();
  PanelHost(const PanelHost&) = delete;
  PanelHost& operator=(const PanelHost&) = delete;
  PanelHost(PanelHost&&) = delete;
  PanelHost& operator=(PanelHost&&) = delete;

  // The record the host hands out as "LWPanelServices". It stays valid and
  // at the same address for the host's life.
  lw::PanelFuncs* services();

  // Faults a test can choose: panel creation refused; the n-th addControl
  // (counted from 1 over the host's life) and every later one refused; 0
  // refuses none.
  void refusePanels(bool refuse);
  void refuseControlsFrom(int n);

  // What displayMetrics() reports from now on. The drawn font stays the
  // same; only the numbers the module reads change.
  void setDisplayMetrics(const lw::DisplayMetrics& metrics);

  // While a panel runs its modal loop (handle with flags 3), this is called
  // for each next event until the panel is closed. Returning false means no
  // more events will come: the panel is closed by the host. An empty
  // function closes the panel at once.
  std::function<bool()> modalStep;

  // What a person does to the configuration panel ("Spaceball Input Device
  // Driver"). Each returns false with a reason when it cannot be done (no
  // such panel, panel not open, no such control, no such row).
  // Row -1 takes the list's selection away.
  bool selectRow(int row, std::string* why);
  // Sets the Command field's text and fires its handler.
  bool typeCommand(const std::string& text, std::string* why);
  bool setCapture(bool on, std::string* why);
  bool setOpenOnActivation(bool on, std::string* why);
  bool click(const std::string& label, std::string* why);  // Configure|About
  // The user closes the panel; the module hears of it through the panel's
  // close callback.
  bool closeConfigPanel(std::string* why);
  // A key to the About panel that is running its modal loop.
  bool key(int code, std::string* why);
  // Draws the named panel ("config" or "about"; it must be open) and writes
  // it as a PNG; on Windows it draws and then fails, as no PNG is made.
  // Whether snapshot can write PNG files on this platform.
  static bool snapshotsAvailable();
  bool snapshot(const std::string& which, const std::string& file,
                std::string* why);

  // Inspection for tests. `which` is "config", "about" (the newest live
  // panel titled "About ...") or a panel's exact title.
  struct ControlInfo {
    std::string type;
    std::string label;
    int x, y, w, h;
    int intValue;
    std::string text;
    int redraws;  // draw calls the module made on it
  };
  bool configPanelExists() const;
  bool configPanelOpen() const;
  bool panelExists(const std::string& which) const;
  bool panelOpen(const std::string& which) const;
  std::vector<ControlInfo> configControls() const;
  std::vector<ControlInfo> controls(const std::string& which) const;
  // A cell through the list callbacks; row -1 gives a column's title.
  std::string listCell(int row, int column) const;
  // A column's width through the list's callback.
  int listColumnWidth(int column) const;
  // Tags 0 to 3 (x, y, width, height); nothing when there is no such panel.
  std::optional<int> panelValue(const std::string& which, int tag) const;
  // Every call the module made into the panel services, one line each, as
  // "verb args": panel.create, panel.destroy, panel.open, panel.handle,
  // panel.close, panel.get, panel.set, panel.addControl, control.get,
  // control.set, control.draw, draw.pixel, draw.box, draw.textWidth,
  // draw.text, draw.metrics. Texts are quoted.
  const std::vector<std::string>& calls() const;
  void clearCalls();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace standin
