#include "standin/panels/panel_host.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "standin/panels/panel_raster.h"

namespace standin {

namespace {

constexpr const char* kConfigTitle = "Spaceball Input Device Driver";
constexpr const char* kAboutPrefix = "About ";
constexpr int kCharAdvance = PanelHost::kCharAdvance;
constexpr int kLineHeight = PanelHost::kLineHeight;
constexpr int kDisplayWidth = PanelHost::kDisplayWidth;
constexpr int kDisplayHeight = PanelHost::kDisplayHeight;
constexpr int kMargin = PanelHost::kMargin;
constexpr int kControlGapRight = PanelHost::kControlGapRight;
constexpr int kControlGapBelow = PanelHost::kControlGapBelow;
constexpr int kFrameLeft = PanelHost::kFrameLeft;
constexpr int kFrameTop = PanelHost::kFrameTop;
constexpr int kColourYellow = PanelHost::kColourYellow;
constexpr int kFrameRight = PanelHost::kFrameLeft;
constexpr int kFrameBottom = PanelHost::kFrameLeft;
constexpr int kTitleBarHeight = 22;
constexpr int kBodyHeight = 20;  // buttons, check boxes, fields
constexpr int kCheckSize = 14;
constexpr int kListLabelHeight = 16;
constexpr int kListHeaderHeight = 18;
constexpr int kListRowHeight = 16;
constexpr int kScrollBarWidth = 14;
constexpr int kMaxColumns = 16;
// A modal loop whose events never close the panel is a fault of the script
// or test that drives it; stop it rather than hang.
constexpr long kMaxModalSteps = 1000000;

constexpr Rgb kPanelGrey{168, 170, 176};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kYellow{255, 222, 40};
constexpr Rgb kShadow{48, 48, 52};
constexpr Rgb kLight{236, 238, 242};
constexpr Rgb kDark{92, 94, 102};
constexpr Rgb kButtonFace{198, 200, 208};
constexpr Rgb kPressedFace{140, 160, 205};
constexpr Rgb kSelection{58, 92, 160};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string pointerText(const void* p) { return p != nullptr ? "ptr" : "null"; }

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The characters of a UTF-8 text, each as its own byte sequence, so that a
// monospaced width counts characters and not bytes.
std::vector<std::string> characters(const char* text) {
  std::vector<std::string> out;
  if (text == nullptr) return out;
  for (const char* p = text; *p != '\0';) {
    std::size_t length = 1;
    while (p[length] != '\0' &&
           (static_cast<unsigned char>(p[length]) & 0xC0) == 0x80)
      ++length;
    out.emplace_back(p, length);
    p += length;
  }
  return out;
}

int textWidthOf(const char* text) {
  return static_cast<int>(characters(text).size()) * PanelHost::kCharAdvance;
}

int textWidthOf(const std::string& text) { return textWidthOf(text.c_str()); }

Rgb paletteColour(int colour) {
  return colour == PanelHost::kColourYellow ? kYellow : kBlack;
}

struct Host;
struct HostPanel;

struct HostControl {
  lw::Control record{};  // what the module holds; record.priv is this
  HostPanel* panel = nullptr;
  std::string type;
  std::string label;
  lw::ControlDescriptor descriptor{};
  int x = 0, y = 0, w = 0, h = 0;
  int value = 0;
  std::string text;
  lw::ControlEventFunc event = nullptr;
  void* userData = nullptr;
  int redraws = 0;
  int firstRow = 0;  // lists: the top visible row
};

struct HostPanel {
  Host* host = nullptr;
  std::string title;
  bool destroyed = false;
  bool open = false;
  int modalDepth = 0;
  int x = 100, y = 100;
  int width = 0, height = 0;
  bool widthSettled = false;
  bool heightSet = false;
  lw::PanelDrawFunc drawFunc = nullptr;
  lw::PanelKeyFunc keyFunc = nullptr;
  lw::PanelCloseFunc closeFunc = nullptr;
  void* userData = nullptr;
  std::vector<std::unique_ptr<HostControl>> controls;
  std::unique_ptr<PanelRaster> raster;

  int autoWidth() const {
    int right = 0;
    for (const auto& c : controls) right = std::max(right, c->x + c->w);
    return controls.empty() ? 200 : right + PanelHost::kPanelSlack;
  }
  int autoHeight() const {
    int bottom = 0;
    for (const auto& c : controls) bottom = std::max(bottom, c->y + c->h);
    return controls.empty() ? 100 : bottom + PanelHost::kPanelSlack;
  }
  int currentWidth() const { return widthSettled ? width : autoWidth(); }
  int settleWidth() {
    if (!widthSettled) {
      width = autoWidth();
      widthSettled = true;
    }
    return width;
  }
  int currentHeight() const { return heightSet ? height : autoHeight(); }
};

lw::Panel* asPanel(HostPanel* panel) {
  return reinterpret_cast<lw::Panel*>(panel);
}

int expectedKind(const std::string& type) {
  if (type == "ButtonControl") return lw::kDescArea;
  if (type == "BoolControl") return lw::kDescBoolean;
  if (type == "BoolButtonControl") return lw::kDescBoolean;
  if (type == "EditControl") return lw::kDescString;
  if (type == "MultiListBoxControl") return lw::kDescMultiList;
  return -1;
}

// ---------------------------------------------------------------------------
// Painting into a panel's raster. Panel coordinates are shifted by the frame.

class Painter {
 public:
  explicit Painter(PanelRaster& raster) : raster_(raster) {}
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  void box(Rgb c, double x, double y, double w, double h) {
    raster_.fillBox(c, x, y, w, h);
  }

  void line(Rgb c, double x0, double y0, double x1, double y1, double width) {
    raster_.line(c, x0, y0, x1, y1, width);
  }

  // One line of text with its top-left at (x, y), each character in its own
  // fixed cell so that the drawn width is exactly what textWidth reports.
  void text(const char* text, Rgb c, double x, double y) {
    raster_.text(characters(text), PanelHost::kCharAdvance, c, x, y);
  }

  void clip(double x, double y, double w, double h) {
    raster_.clip(x, y, w, h);
  }
  void unclip() { raster_.unclip(); }

  // A raised (or, pressed, sunken) bevel around a face.
  void bevel(double x, double y, double w, double h, Rgb face, bool pressed) {
    box(face, x, y, w, h);
    const Rgb topLeft = pressed ? kDark : kLight;
    const Rgb bottomRight = pressed ? kLight : kDark;
    box(topLeft, x, y, w, 1);
    box(topLeft, x, y, 1, h);
    box(bottomRight, x, y + h - 1, w, 1);
    box(bottomRight, x + w - 1, y, 1, h);
  }

 private:
  PanelRaster& raster_;
};

struct Host {
  explicit Host(PanelHost* owner);
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  PanelHost* owner;
  lw::PanelFuncs funcs{};
  lw::DrawFuncs drawFuncs{};
  lw::DisplayMetrics metrics{kDisplayWidth, kDisplayHeight, kLineHeight};
  bool refusePanels = false;
  int refuseControlsFrom = 0;
  int controlsAdded = 0;
  // Every panel ever made, destroyed ones included, so that a stale handle
  // from the module is recognised instead of followed.
  std::vector<std::unique_ptr<HostPanel>> panels;
  std::vector<HostPanel*> modalStack;
  std::vector<std::string> calls;

  void record(std::string line) { calls.push_back(std::move(line)); }

  // Lookup ---------------------------------------------------------------
  static std::vector<Host*>& liveHosts() {
    static std::vector<Host*> hosts;
    return hosts;
  }
  static Host* newestHost() {
    return liveHosts().empty() ? nullptr : liveHosts().back();
  }
  static Host* hostOf(const lw::PanelFuncs* services) {
    for (Host* host : liveHosts())
      if (&host->funcs == services) return host;
    return nullptr;
  }
  static HostPanel* findPanel(lw::Panel* panel) {
    for (Host* host : liveHosts())
      for (const auto& p : host->panels)
        if (asPanel(p.get()) == panel) return p.get();
    return nullptr;
  }
  static HostControl* findControl(lw::Control* control) {
    if (control == nullptr) return nullptr;
    for (Host* host : liveHosts())
      for (const auto& p : host->panels)
        for (const auto& c : p->controls)
          if (&c->record == control) return c.get();
    return nullptr;
  }
  // The live panel behind a handle the module passed, with the call noted;
  // null (also noted) for a handle that is unknown or destroyed.
  static HostPanel* livePanel(lw::Panel* panel, const std::string& call) {
    HostPanel* p = findPanel(panel);
    if (p == nullptr) {
      if (Host* host = newestHost()) host->record(call + " <unknown panel>");
      return nullptr;
    }
    if (p->destroyed) {
      p->host->record(call + " <destroyed panel " + quoted(p->title) + ">");
      return nullptr;
    }
    return p;
  }

  HostPanel* panelNamed(const std::string& which) const {
    for (auto it = panels.rbegin(); it != panels.rend(); ++it) {
      HostPanel* p = it->get();
      if (p->destroyed) continue;
      if (which == "config" && p->title == kConfigTitle) return p;
      if (which == "about" && p->title.rfind(kAboutPrefix, 0) == 0) return p;
      if (p->title == which) return p;
    }
    return nullptr;
  }

  HostPanel* openConfig(std::string* why) const {
    HostPanel* p = panelNamed("config");
    if (p == nullptr) {
      if (why != nullptr) *why = "there is no configuration panel";
      return nullptr;
    }
    if (!p->open) {
      if (why != nullptr) *why = "the configuration panel is not open";
      return nullptr;
    }
    return p;
  }

  static HostControl* controlOf(HostPanel* panel, const std::string& type,
                                const std::string& label, std::string* why) {
    for (const auto& c : panel->controls) {
      if (c->type == type &&
          (label.empty() || sameIgnoringCase(c->label, label)))
        return c.get();
    }
    if (why != nullptr)
      *why = "the panel has no " + type +
             (label.empty() ? "" : " " + quoted(label));
    return nullptr;
  }

  static void fire(HostControl* control) {
    if (control->event != nullptr)
      control->event(&control->record, control->userData);
  }

  void closePanel(HostPanel* panel) {
    if (!panel->open) return;
    panel->open = false;
    if (panel->closeFunc != nullptr)
      panel->closeFunc(asPanel(panel), panel->userData);
  }

  // Panel services -------------------------------------------------------
  static lw::Panel* create(const char* title, lw::PanelFuncs* services);
  static void destroy(lw::Panel* panel);
  static int open(lw::Panel* panel, int flags);
  static int handle(lw::Panel* panel, int flags);
  static void close(lw::Panel* panel);
  static void get(lw::Panel* panel, int tag, void* value);
  static void set(lw::Panel* panel, int tag, void* value);
  static lw::Control* addControl(lw::Panel* panel, const char* type,
                                 lw::ControlDescriptor* descriptor,
                                 const char* label);
  static void controlDraw(lw::Control* control, int mode);
  static void controlGet(lw::Control* control, int tag, lw::Value* value);
  static void controlSet(lw::Control* control, int tag, lw::Value* value);
  static void drawPixel(lw::Panel* panel, int r, int g, int b, int x, int y);
  static void drawBox(lw::Panel* panel, int r, int g, int b, int x, int y,
                      int w, int h);
  static int textWidth(lw::Panel* panel, const char* text);
  static void drawText(lw::Panel* panel, const char* text, int colour, int x,
                       int y);
  static const lw::DisplayMetrics* displayMetrics();

  // Rendering --------------------------------------------------------------
  static PanelRaster& raster(HostPanel* panel);
  void render(HostPanel* panel);
  void renderControl(Painter& paint, HostControl& control);
  void renderList(Painter& paint, HostControl& control, int bx, int by);
};

Host::Host(PanelHost* owner) : owner(owner) {
  funcs.create = &Host::create;
  funcs.destroy = &Host::destroy;
  funcs.open = &Host::open;
  funcs.handle = &Host::handle;
  funcs.close = &Host::close;
  funcs.get = &Host::get;
  funcs.set = &Host::set;
  funcs.addControl = &Host::addControl;
  funcs.drawFuncs = &drawFuncs;
  drawFuncs.drawRGBPixel = &Host::drawPixel;
  drawFuncs.drawRGBBox = &Host::drawBox;
  drawFuncs.textWidth = &Host::textWidth;
  drawFuncs.drawText = &Host::drawText;
  drawFuncs.displayMetrics = &Host::displayMetrics;
  liveHosts().push_back(this);
}

Host::~Host() {
  auto& hosts = liveHosts();
  hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());
  panels.clear();
  // With the last host gone no raster is alive and nothing draws any more.
  if (hosts.empty()) releasePanelRasterCaches();
}

lw::Panel* Host::create(const char* title, lw::PanelFuncs* services) {
  Host* host = hostOf(services);
  if (host == nullptr) {
    if (Host* newest = newestHost())
      newest->record("panel.create <services not from this host>");
    return nullptr;
  }
  std::string name = title != nullptr ? title : "";
  host->record("panel.create " + quoted(name));
  if (host->refusePanels) return nullptr;
  auto panel = std::make_unique<HostPanel>();
  panel->host = host;
  panel->title = name;
  HostPanel* made = panel.get();
  host->panels.push_back(std::move(panel));
  return asPanel(made);
}

void Host::destroy(lw::Panel* panel) {
  HostPanel* p = livePanel(panel, "panel.destroy");
  if (p == nullptr) return;
  p->host->record("panel.destroy " + quoted(p->title));
  // Destroying takes the panel off the screen without telling the module,
  // which asked for it.
  p->open = false;
  p->destroyed = true;
}

int Host::open(lw::Panel* panel, int flags) {
  HostPanel* p = livePanel(panel, "panel.open");
  if (p == nullptr) return 0;
  p->host->record("panel.open " + quoted(p->title) + " " +
                  std::to_string(flags));
  p->settleWidth();
  p->open = true;
  p->host->render(p);
  return 1;
}

int Host::handle(lw::Panel* panel, int flags) {
  HostPanel* p = livePanel(panel, "panel.handle");
  if (p == nullptr) return 0;
  Host* host = p->host;
  host->record("panel.handle " + quoted(p->title) + " " +
               std::to_string(flags));
  if (flags != lw::kHandleEventsWait || !p->open) return 0;
  host->modalStack.push_back(p);
  ++p->modalDepth;
  long steps = 0;
  while (p->open) {
    const bool more = host->owner->modalStep && ++steps <= kMaxModalSteps &&
                      host->owner->modalStep();
    if (!more && p->open) host->closePanel(p);
  }
  --p->modalDepth;
  host->modalStack.pop_back();
  return 0;
}

void Host::close(lw::Panel* panel) {
  HostPanel* p = livePanel(panel, "panel.close");
  if (p == nullptr) return;
  p->host->record("panel.close " + quoted(p->title));
  p->host->closePanel(p);
}

void Host::get(lw::Panel* panel, int tag, void* value) {
  HostPanel* p = livePanel(panel, "panel.get");
  if (p == nullptr || value == nullptr) return;
  p->host->record("panel.get " + quoted(p->title) + " " + std::to_string(tag));
  switch (tag) {
    case lw::kPanX:
      *static_cast<int*>(value) = p->x;
      break;
    case lw::kPanY:
      *static_cast<int*>(value) = p->y;
      break;
    case lw::kPanW:
      *static_cast<int*>(value) = p->settleWidth();
      break;
    case lw::kPanH:
      *static_cast<int*>(value) = p->currentHeight();
      break;
    case lw::kPanDrawFunc:
      *static_cast<void**>(value) = reinterpret_cast<void*>(p->drawFunc);
      break;
    case lw::kPanCloseFunc:
      *static_cast<void**>(value) = reinterpret_cast<void*>(p->closeFunc);
      break;
    case lw::kPanUserData:
      *static_cast<void**>(value) = p->userData;
      break;
    case lw::kPanKeyFunc:
      *static_cast<void**>(value) = reinterpret_cast<void*>(p->keyFunc);
      break;
    default:
      break;
  }
}

void Host::set(lw::Panel* panel, int tag, void* value) {
  HostPanel* p = livePanel(panel, "panel.set");
  if (p == nullptr) return;
  std::string line =
      "panel.set " + quoted(p->title) + " " + std::to_string(tag) + " ";
  const bool byAddress = tag >= lw::kPanX && tag <= lw::kPanH;
  if (byAddress && value == nullptr) {
    p->host->record(line + "<null address>");
    return;
  }
  const int number = byAddress ? *static_cast<int*>(value) : 0;
  p->host->record(line +
                  (byAddress ? std::to_string(number) : pointerText(value)));
  switch (tag) {
    case lw::kPanX:
      p->x = number;
      break;
    case lw::kPanY:
      p->y = number;
      break;
    case lw::kPanW:
      p->width = number;
      p->widthSettled = true;
      break;
    case lw::kPanH:
      p->height = number;
      p->heightSet = true;
      break;
    case lw::kPanDrawFunc:
      p->drawFunc = reinterpret_cast<lw::PanelDrawFunc>(value);
      break;
    case lw::kPanCloseFunc:
      p->closeFunc = reinterpret_cast<lw::PanelCloseFunc>(value);
      break;
    case lw::kPanUserData:
      p->userData = value;
      break;
    case lw::kPanKeyFunc:
      p->keyFunc = reinterpret_cast<lw::PanelKeyFunc>(value);
      break;
    default:
      break;
  }
}

lw::Control* Host::addControl(lw::Panel* panel, const char* type,
                              lw::ControlDescriptor* descriptor,
                              const char* label) {
  HostPanel* p = livePanel(panel, "panel.addControl");
  if (p == nullptr) return nullptr;
  Host* host = p->host;
  const std::string typeName = type != nullptr ? type : "";
  const std::string labelText = label != nullptr ? label : "";
  host->record("panel.addControl " + quoted(p->title) + " " + typeName + " " +
               quoted(labelText));
  ++host->controlsAdded;
  if (host->refuseControlsFrom > 0 &&
      host->controlsAdded >= host->refuseControlsFrom)
    return nullptr;
  // The host reads the descriptor of the kind the type expects; a type it
  // does not know or a descriptor of another kind gets no control.
  if (descriptor == nullptr || expectedKind(typeName) != descriptor->type)
    return nullptr;

  auto control = std::make_unique<HostControl>();
  HostControl& c = *control;
  c.record.draw = &Host::controlDraw;
  c.record.get = &Host::controlGet;
  c.record.set = &Host::controlSet;
  c.record.priv = &c;
  c.panel = p;
  c.type = typeName;
  c.label = labelText;
  c.descriptor = *descriptor;

  int bodyWidth = 0;
  int bodyHeight = kBodyHeight;
  const int labelWidth = textWidthOf(labelText);
  if (typeName == "ButtonControl") {
    bodyWidth =
        descriptor->area.width > 0 ? descriptor->area.width : labelWidth + 16;
    if (descriptor->area.height > 0) bodyHeight = descriptor->area.height;
  } else if (typeName == "BoolControl") {
    bodyWidth = kCheckSize + 6 + labelWidth;
  } else if (typeName == "BoolButtonControl") {
    bodyWidth = labelWidth + 16;
  } else if (typeName == "EditControl") {
    bodyWidth = labelWidth + 6 + descriptor->string.width * kCharAdvance + 6;
  } else {  // MultiListBoxControl
    bodyWidth = descriptor->multiList.width + kScrollBarWidth + 2;
    bodyHeight = kListLabelHeight + 2 + kListHeaderHeight +
                 descriptor->multiList.visibleRows * kListRowHeight;
    c.value = -1;  // nothing selected yet
  }
  c.w = bodyWidth + kControlGapRight;
  c.h = bodyHeight + kControlGapBelow;
  if (p->controls.empty()) {
    c.x = kMargin;
    c.y = kMargin;
  } else {
    const HostControl& previous = *p->controls.back();
    c.x = kMargin;
    c.y = previous.y + previous.h;
  }
  p->controls.push_back(std::move(control));
  return &c.record;
}

void Host::controlDraw(lw::Control* control, int mode) {
  HostControl* c = findControl(control);
  if (c == nullptr) {
    if (Host* host = newestHost())
      host->record("control.draw <unknown control>");
    return;
  }
  c->panel->host->record("control.draw " + quoted(c->label) + " " +
                         std::to_string(mode));
  ++c->redraws;
}

void Host::controlGet(lw::Control* control, int tag, lw::Value* value) {
  HostControl* c = findControl(control);
  if (c == nullptr || value == nullptr) {
    if (Host* host = newestHost())
      host->record("control.get <unknown control or value>");
    return;
  }
  c->panel->host->record("control.get " + quoted(c->label) + " " +
                         std::to_string(tag));
  switch (tag) {
    case lw::kCtlX:
      value->intv.value = c->x;
      break;
    case lw::kCtlY:
      value->intv.value = c->y;
      break;
    case lw::kCtlW:
      value->intv.value = c->w;
      break;
    case lw::kCtlH:
      value->intv.value = c->h;
      break;
    case lw::kCtlValue:
      if (c->type == "EditControl") {
        // At most bufLen bytes, the terminating zero included.
        if (value->str.buf != nullptr && value->str.bufLen > 0) {
          const std::size_t n = std::min<std::size_t>(
              c->text.size(), static_cast<std::size_t>(value->str.bufLen - 1));
          std::memcpy(value->str.buf, c->text.data(), n);
          value->str.buf[n] = '\0';
        }
      } else {
        value->intv.value = c->value;
      }
      break;
    case lw::kCtlEvent:
      value->intv.ptr = reinterpret_cast<void*>(c->event);
      break;
    case lw::kCtlUserData:
      value->intv.ptr = c->userData;
      break;
    default:
      break;
  }
}

void Host::controlSet(lw::Control* control, int tag, lw::Value* value) {
  HostControl* c = findControl(control);
  if (c == nullptr || value == nullptr) {
    if (Host* host = newestHost())
      host->record("control.set <unknown control or value>");
    return;
  }
  std::string line =
      "control.set " + quoted(c->label) + " " + std::to_string(tag) + " ";
  switch (tag) {
    case lw::kCtlX:
      c->x = value->intv.value;
      line += std::to_string(c->x);
      break;
    case lw::kCtlY:
      c->y = value->intv.value;
      line += std::to_string(c->y);
      break;
    case lw::kCtlW:
      c->w = value->intv.value;
      line += std::to_string(c->w);
      break;
    case lw::kCtlH:
      c->h = value->intv.value;
      line += std::to_string(c->h);
      break;
    case lw::kCtlValue:
      if (c->type == "EditControl") {
        // The length counts the text's bytes; a zero ends it sooner.
        const int length = std::max(0, value->str.bufLen);
        if (value->str.buf == nullptr) {
          c->text.clear();
        } else {
          c->text.assign(
              value->str.buf,
              strnlen(value->str.buf, static_cast<std::size_t>(length)));
        }
        line += quoted(c->text);
      } else {
        c->value = value->intv.value;
        line += std::to_string(c->value);
      }
      break;
    case lw::kCtlEvent:
      c->event = reinterpret_cast<lw::ControlEventFunc>(value->intv.ptr);
      line += pointerText(value->intv.ptr);
      break;
    case lw::kCtlUserData:
      c->userData = value->intv.ptr;
      line += pointerText(value->intv.ptr);
      break;
    default:
      line += "?";
      break;
  }
  c->panel->host->record(line);
}

void Host::drawPixel(lw::Panel* panel, int r, int g, int b, int x, int y) {
  HostPanel* p = livePanel(panel, "draw.pixel");
  if (p == nullptr) return;
  p->host->record("draw.pixel " + quoted(p->title) + " " + std::to_string(r) +
                  " " + std::to_string(g) + " " + std::to_string(b) + " " +
                  std::to_string(x) + " " + std::to_string(y));
  raster(p).setPixel(x + kFrameLeft, y + kFrameTop, r, g, b);
}

void Host::drawBox(lw::Panel* panel, int r, int g, int b, int x, int y, int w,
                   int h) {
  HostPanel* p = livePanel(panel, "draw.box");
  if (p == nullptr) return;
  p->host->record("draw.box " + quoted(p->title) + " " + std::to_string(r) +
                  " " + std::to_string(g) + " " + std::to_string(b) + " " +
                  std::to_string(x) + " " + std::to_string(y) + " " +
                  std::to_string(w) + " " + std::to_string(h));
  Painter paint(raster(p));
  paint.box(Rgb{r, g, b}, x + kFrameLeft, y + kFrameTop, w, h);
}

int Host::textWidth(lw::Panel* panel, const char* text) {
  HostPanel* p = livePanel(panel, "draw.textWidth");
  if (p == nullptr) return 0;
  p->host->record("draw.textWidth " + quoted(p->title) + " " +
                  quoted(text != nullptr ? text : ""));
  return textWidthOf(text);
}

void Host::drawText(lw::Panel* panel, const char* text, int colour, int x,
                    int y) {
  HostPanel* p = livePanel(panel, "draw.text");
  if (p == nullptr) return;
  p->host->record("draw.text " + quoted(p->title) + " " +
                  quoted(text != nullptr ? text : "") + " " +
                  std::to_string(colour) + " " + std::to_string(x) + " " +
                  std::to_string(y));
  Painter paint(raster(p));
  // Yellow on the panel's grey needs a dark edge to be read.
  if (colour == kColourYellow)
    paint.text(text, kShadow, x + kFrameLeft + 1, y + kFrameTop + 1);
  paint.text(text, paletteColour(colour), x + kFrameLeft, y + kFrameTop);
}

const lw::DisplayMetrics* Host::displayMetrics() {
  static const lw::DisplayMetrics kNoHost{kDisplayWidth, kDisplayHeight,
                                          kLineHeight};
  Host* host = newestHost();
  if (host == nullptr) return &kNoHost;
  host->record("draw.metrics");
  return &host->metrics;
}

PanelRaster& Host::raster(HostPanel* panel) {
  const int width = panel->currentWidth() + kFrameLeft + kFrameRight;
  const int height = panel->currentHeight() + kFrameTop + kFrameBottom;
  if (panel->raster != nullptr && panel->raster->width() == width &&
      panel->raster->height() == height)
    return *panel->raster;
  // A panel that changed size starts again on a plain raster.
  panel->raster = std::make_unique<PanelRaster>(width, height, kPanelGrey);
  return *panel->raster;
}

void Host::render(HostPanel* panel) {
  PanelRaster& canvas = raster(panel);
  const int width = canvas.width();
  const int height = canvas.height();
  {
    Painter paint(canvas);
    paint.box(kPanelGrey, 0, 0, width, height);
    paint.box(Rgb{44, 56, 92}, 0, 0, width, kTitleBarHeight);
    paint.box(Rgb{70, 86, 132}, 0, 0, width, kTitleBarHeight / 2);
    paint.clip(0, 0, width - 4, kTitleBarHeight);
    paint.text(panel->title.c_str(), kWhite, 8, 3);
    paint.unclip();
    paint.box(kShadow, 0, 0, width, 1);
    paint.box(kShadow, 0, 0, 1, height);
    paint.box(kShadow, 0, height - 1, width, 1);
    paint.box(kShadow, width - 1, 0, 1, height);
    for (const auto& control : panel->controls) renderControl(paint, *control);
  }
  if (panel->drawFunc != nullptr)
    panel->drawFunc(asPanel(panel), panel->userData, 0);
}

void Host::renderControl(Painter& paint, HostControl& c) {
  const int bx = c.x + kFrameLeft;
  const int by = c.y + kFrameTop;
  const int bw = c.w - kControlGapRight;
  const int bh = c.h - kControlGapBelow;
  const int labelWidth = textWidthOf(c.label);
  if (c.type == "ButtonControl" || c.type == "BoolButtonControl") {
    const bool pressed = c.type == "BoolButtonControl" && c.value != 0;
    paint.bevel(bx, by, bw, bh, pressed ? kPressedFace : kButtonFace, pressed);
    paint.clip(bx + 1, by + 1, bw - 2, bh - 2);
    paint.text(c.label.c_str(), kBlack, bx + (bw - labelWidth) / 2,
               by + (bh - kLineHeight) / 2);
    paint.unclip();
  } else if (c.type == "BoolControl") {
    const int top = by + (bh - kCheckSize) / 2;
    paint.bevel(bx, top, kCheckSize, kCheckSize, kWhite, true);
    if (c.value != 0) {
      paint.line(kBlack, bx + 3, top + 7, bx + 6, top + 10, 2);
      paint.line(kBlack, bx + 6, top + 10, bx + 11, top + 3, 2);
    }
    paint.text(c.label.c_str(), kBlack, bx + kCheckSize + 6,
               by + (bh - kLineHeight) / 2);
  } else if (c.type == "EditControl") {
    paint.text(c.label.c_str(), kBlack, bx, by + (bh - kLineHeight) / 2);
    const int fx = bx + labelWidth + 6;
    const int fw = bw - labelWidth - 6;
    paint.bevel(fx, by, fw, bh, kWhite, true);
    paint.clip(fx + 2, by + 1, fw - 4, bh - 2);
    paint.text(c.text.c_str(), kBlack, fx + 3, by + (bh - kLineHeight) / 2);
    paint.unclip();
  } else if (c.type == "MultiListBoxControl") {
    renderList(paint, c, bx, by);
  }
}

void Host::renderList(Painter& paint, HostControl& c, int bx, int by) {
  const auto& list = c.descriptor.multiList;
  paint.text(c.label.c_str(), kBlack, bx, by);
  const int top = by + kListLabelHeight;
  const int width = list.width + kScrollBarWidth + 2;
  const int rows = list.visibleRows;
  const int height = 2 + kListHeaderHeight + rows * kListRowHeight;
  paint.box(kDark, bx, top, width, height);
  const int inner = bx + 1;

  std::vector<int> columns;
  if (list.columnWidth != nullptr) {
    for (int column = 0; column < kMaxColumns; ++column) {
      const int w = list.columnWidth(c.userData, column);
      if (w <= 0) break;
      columns.push_back(w);
    }
  }
  auto cell = [&](int row, int column) -> std::string {
    if (list.name == nullptr) return {};
    const char* text = list.name(c.userData, row, column);
    return text != nullptr ? text : "";
  };

  // Titles.
  paint.bevel(inner, top + 1, list.width, kListHeaderHeight, kButtonFace,
              false);
  int left = inner;
  for (std::size_t column = 0; column < columns.size(); ++column) {
    paint.clip(left, top + 1, columns[column], kListHeaderHeight);
    paint.text(cell(-1, static_cast<int>(column)).c_str(), kBlack, left + 4,
               top + 2);
    paint.unclip();
    left += columns[column];
    paint.box(kDark, left - 1, top + 1, 1, kListHeaderHeight);
  }

  // Rows, scrolled so that the selected row shows.
  const int count = list.count != nullptr ? list.count(c.userData) : 0;
  if (c.value >= 0 && c.value < count) {
    if (c.value < c.firstRow) c.firstRow = c.value;
    if (c.value >= c.firstRow + rows) c.firstRow = c.value - rows + 1;
  }
  c.firstRow = std::clamp(c.firstRow, 0, std::max(0, count - rows));
  const int rowsTop = top + 1 + kListHeaderHeight;
  for (int i = 0; i < rows; ++i) {
    const int row = c.firstRow + i;
    const int y = rowsTop + i * kListRowHeight;
    const bool selected = row == c.value;
    const Rgb back =
        selected ? kSelection : (i % 2 == 0 ? kWhite : Rgb{234, 237, 243});
    paint.box(back, inner, y, list.width, kListRowHeight);
    if (row >= count) continue;
    left = inner;
    for (std::size_t column = 0; column < columns.size(); ++column) {
      paint.clip(left, y, columns[column] - 1, kListRowHeight);
      paint.text(cell(row, static_cast<int>(column)).c_str(),
                 selected ? kWhite : kBlack, left + 4, y);
      paint.unclip();
      left += columns[column];
      paint.box(Rgb{200, 202, 210}, left - 1, y, 1, kListRowHeight);
    }
  }

  // Scroll bar.
  const int barX = inner + list.width;
  const int barTop = top + 1;
  const int barHeight = height - 2;
  paint.box(Rgb{214, 216, 222}, barX, barTop, kScrollBarWidth, barHeight);
  if (count > 0) {
    const int thumb = std::max(12, barHeight * std::min(rows, count) / count);
    const int travel = barHeight - thumb;
    const int offset = count > rows ? travel * c.firstRow / (count - rows) : 0;
    paint.bevel(barX + 1, barTop + offset, kScrollBarWidth - 2, thumb,
                kButtonFace, false);
  }
}

}  // namespace

// The host's state lives in Host, which the file's callbacks can name.
struct PanelHost::Impl : Host {
  explicit Impl(PanelHost* owner) : Host(owner) {}
};

PanelHost::PanelHost() : impl_(std::make_unique<Impl>(this)) {}
PanelHost::~PanelHost() = default;

lw::PanelFuncs* PanelHost::services() { return &impl_->funcs; }

void PanelHost::refusePanels(bool refuse) { impl_->refusePanels = refuse; }
void PanelHost::refuseControlsFrom(int n) { impl_->refuseControlsFrom = n; }

void PanelHost::setDisplayMetrics(const lw::DisplayMetrics& metrics) {
  impl_->metrics = metrics;
}

bool PanelHost::selectRow(int row, std::string* why) {
  HostPanel* p = impl_->openConfig(why);
  if (p == nullptr) return false;
  HostControl* list = Host::controlOf(p, "MultiListBoxControl", "", why);
  if (list == nullptr) return false;
  const auto& descriptor = list->descriptor.multiList;
  const int count =
      descriptor.count != nullptr ? descriptor.count(list->userData) : 0;
  if (row < -1 || row >= count) {
    if (why != nullptr)
      *why = "row " + std::to_string(row) + " is not in the list (" +
             std::to_string(count) + " rows)";
    return false;
  }
  list->value = row;
  Host::fire(list);
  return true;
}

bool PanelHost::typeCommand(const std::string& text, std::string* why) {
  HostPanel* p = impl_->openConfig(why);
  if (p == nullptr) return false;
  HostControl* field = Host::controlOf(p, "EditControl", "", why);
  if (field == nullptr) return false;
  field->text = text;
  Host::fire(field);
  return true;
}

bool PanelHost::setCapture(bool on, std::string* why) {
  HostPanel* p = impl_->openConfig(why);
  if (p == nullptr) return false;
  HostControl* toggle = Host::controlOf(p, "BoolButtonControl", "Capture", why);
  if (toggle == nullptr) return false;
  toggle->value = on ? 1 : 0;
  Host::fire(toggle);
  return true;
}

bool PanelHost::setOpenOnActivation(bool on, std::string* why) {
  HostPanel* p = impl_->openConfig(why);
  if (p == nullptr) return false;
  HostControl* box =
      Host::controlOf(p, "BoolControl", "Open on activation", why);
  if (box == nullptr) return false;
  box->value = on ? 1 : 0;
  Host::fire(box);
  return true;
}

bool PanelHost::click(const std::string& label, std::string* why) {
  HostPanel* p = impl_->openConfig(why);
  if (p == nullptr) return false;
  HostControl* button = Host::controlOf(p, "ButtonControl", label, why);
  if (button == nullptr) return false;
  Host::fire(button);
  return true;
}

bool PanelHost::closeConfigPanel(std::string* why) {
  HostPanel* p = impl_->openConfig(why);
  if (p == nullptr) return false;
  impl_->closePanel(p);
  return true;
}

bool PanelHost::key(int code, std::string* why) {
  for (auto it = impl_->modalStack.rbegin(); it != impl_->modalStack.rend();
       ++it) {
    HostPanel* p = *it;
    if (p->destroyed || !p->open || p->title.rfind(kAboutPrefix, 0) != 0)
      continue;
    if (p->keyFunc == nullptr) {
      if (why != nullptr) *why = "the About panel takes no keys";
      return false;
    }
    p->keyFunc(asPanel(p), p->userData, code);
    return true;
  }
  if (why != nullptr) *why = "no About panel is running";
  return false;
}

bool PanelHost::snapshotsAvailable() { return PanelRaster::canWritePng(); }

bool PanelHost::snapshot(const std::string& which, const std::string& file,
                         std::string* why) {
  HostPanel* p = impl_->panelNamed(which);
  if (p == nullptr || !p->open) {
    if (why != nullptr)
      *why = "there is no open panel " + quoted(which) + " to draw";
    return false;
  }
  impl_->render(p);
  return p->raster->writePng(file, why);
}

bool PanelHost::configPanelExists() const { return panelExists("config"); }
bool PanelHost::configPanelOpen() const { return panelOpen("config"); }

bool PanelHost::panelExists(const std::string& which) const {
  return impl_->panelNamed(which) != nullptr;
}

bool PanelHost::panelOpen(const std::string& which) const {
  HostPanel* p = impl_->panelNamed(which);
  return p != nullptr && p->open;
}

std::vector<PanelHost::ControlInfo> PanelHost::configControls() const {
  return controls("config");
}

std::vector<PanelHost::ControlInfo> PanelHost::controls(
    const std::string& which) const {
  std::vector<ControlInfo> out;
  HostPanel* p = impl_->panelNamed(which);
  if (p == nullptr) return out;
  for (const auto& c : p->controls) {
    out.push_back(ControlInfo{c->type, c->label, c->x, c->y, c->w, c->h,
                              c->value, c->text, c->redraws});
  }
  return out;
}

std::string PanelHost::listCell(int row, int column) const {
  HostPanel* p = impl_->panelNamed("config");
  if (p == nullptr) return {};
  HostControl* list = Host::controlOf(p, "MultiListBoxControl", "", nullptr);
  if (list == nullptr || list->descriptor.multiList.name == nullptr) return {};
  const char* text =
      list->descriptor.multiList.name(list->userData, row, column);
  return text != nullptr ? text : "";
}

int PanelHost::listColumnWidth(int column) const {
  HostPanel* p = impl_->panelNamed("config");
  if (p == nullptr) return 0;
  HostControl* list = Host::controlOf(p, "MultiListBoxControl", "", nullptr);
  if (list == nullptr || list->descriptor.multiList.columnWidth == nullptr)
    return 0;
  return list->descriptor.multiList.columnWidth(list->userData, column);
}

std::optional<int> PanelHost::panelValue(const std::string& which,
                                         int tag) const {
  HostPanel* p = impl_->panelNamed(which);
  if (p == nullptr) return std::nullopt;
  switch (tag) {
    case lw::kPanX:
      return p->x;
    case lw::kPanY:
      return p->y;
    case lw::kPanW:
      return p->currentWidth();
    case lw::kPanH:
      return p->currentHeight();
    default:
      return std::nullopt;
  }
}

const std::vector<std::string>& PanelHost::calls() const {
  return impl_->calls;
}

void PanelHost::clearCalls() { impl_->calls.clear(); }

}  // namespace standin
