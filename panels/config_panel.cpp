#include "panels/config_panel.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "connection/driver_state.h"
#include "device/binding.h"
#include "module/host_global.h"
#include "panels/about_panel.h"
#include "panels/host_values.h"
#include "panels/placement.h"
#include "settings/button_table.h"

namespace panels {

namespace {

constexpr const char* kTitle = "Spaceball Input Device Driver";
constexpr const char* kAboutTitleWord = "Spaceball Input Device Drivers";
constexpr const char* kBuildError = "Error creating main panel, aborting";
constexpr int kOpenFlags =
    lw::kPanelMouseTrack | lw::kPanelAllKeys | lw::kPanelNoButtons;  // 88
constexpr int kShowAllDriverControls = -1;
constexpr int kCommandBufferSize = 8192;
constexpr int kRowCount = settings::kButtonSlots;

char rowNumberText[16];
char commandEditBuffer[kCommandBufferSize];
char emptyText[] = "";
const char* const kColumnTitles[] = {"Func", "Command", nullptr};
constexpr int kColumnWidths[] = {50, 250, 0};
constexpr int kColumnCount = 3;  // the two columns and the end marker

bool isSlot(int index) { return index >= 0 && index < kRowCount; }

template <typename Function>
void* asPointer(Function* function) {
  return reinterpret_cast<void*>(function);
}

class ConfigPanel {
 public:
  // Acquires the host's services and builds the panel; built() tells
  // whether it all worked. A panel that did not build leaves nothing
  // behind once destroyed.
  ConfigPanel() noexcept;
  // Runs after a failed build, and when the host shuts the module down.
  ~ConfigPanel();

  // The host's callbacks reach this object through configPanel.
  ConfigPanel(const ConfigPanel&) = delete;
  ConfigPanel& operator=(const ConfigPanel&) = delete;
  ConfigPanel(ConfigPanel&&) = delete;
  ConfigPanel& operator=(ConfigPanel&&) = delete;

  bool built() const { return panelBuilt_; }
  bool opened() const { return panelOpened_; }
  void open();
  void closed() { panelOpened_ = false; }

  void selectFunction();
  void editCommand();
  void showAboutPanel();
  void storeOpenOnActivation();
  void capture(const char* command);

 private:
  bool buildPanel();
  bool addControls();
  lw::Control* add(const char* type, const char* label);
  void attach(lw::Control* control, lw::ControlEventFunc handler);
  void setIntValue(lw::Control* control, int value);
  int intValueOf(lw::Control* control);
  void reportBuildError();

  lw::MessageFuncs* messageService_ = nullptr;
  lw::PanelFuncs* panelServices_ = nullptr;
  bool panelBuilt_ = false;
  bool panelOpened_ = false;
  lw::Panel* panelHandle_ = nullptr;
  lw::Control* functionsList_ = nullptr;
  lw::Control* aboutButton_ = nullptr;
  lw::Control* commandField_ = nullptr;
  lw::Control* captureToggle_ = nullptr;
  lw::Control* configureButton_ = nullptr;
  lw::Control* openOnActivationToggle_ = nullptr;
  int selectedSlot_ = 0;
};

// None until a build succeeds; then lives as long as the module.
ConfigPanel* configPanel = nullptr;

// Host callbacks. Every control's user data is null: they all reach the
// panel through configPanel.
int functionsRowCount(void*) noexcept { return kRowCount; }

const char* functionsRowText(void*, int row, int column) noexcept {
  if (row == -1) {
    if (column >= 0 && column < kColumnCount) return kColumnTitles[column];
    return emptyText;
  }
  if (!isSlot(row)) return emptyText;
  if (column == 0) {
    std::snprintf(rowNumberText, sizeof rowNumberText, "%d", row + 1);
    return rowNumberText;
  }
  if (column == 1) {
    const char* text = settings::buttonCommands[row];
    return text != nullptr ? text : "(none)";
  }
  return emptyText;
}

int functionsColumnWidth(void*, int column) noexcept {
  if (column >= 0 && column < kColumnCount) return kColumnWidths[column];
  return 0;
}

void onFunctionSelected(lw::Control*, void*) noexcept {
  if (configPanel != nullptr) configPanel->selectFunction();
}

void onCommandEdited(lw::Control*, void*) noexcept {
  if (configPanel != nullptr) configPanel->editCommand();
}

void onAbout(lw::Control*, void*) noexcept {
  if (configPanel != nullptr) configPanel->showAboutPanel();
}

void onConfigure(lw::Control*, void*) noexcept {
  device::SiSetUiMode(connection::driverState.deviceHandle,
                      kShowAllDriverControls);
}

void onOpenOnActivation(lw::Control*, void*) noexcept {
  if (configPanel != nullptr) configPanel->storeOpenOnActivation();
}

void ignoreEvent(lw::Control*, void*) noexcept {}

void onPanelClosed(lw::Panel*, void*) noexcept {
  if (configPanel != nullptr) configPanel->closed();
}

ConfigPanel::ConfigPanel() noexcept {
  if (module::hostGlobal != nullptr) {
    panelServices_ = static_cast<lw::PanelFuncs*>(
        module::hostGlobal(lw::kPanelServicesGlobal, lw::kGlobalAcquire));
    messageService_ = static_cast<lw::MessageFuncs*>(
        module::hostGlobal(lw::kMessagesGlobal, lw::kGlobalAcquire));
  }
  panelBuilt_ = buildPanel();
}

ConfigPanel::~ConfigPanel() {
  if (panelHandle_ != nullptr) panelServices_->destroy(panelHandle_);
  // Only what the host actually gave is given back.
  if (panelServices_ != nullptr)
    module::hostGlobal(lw::kPanelServicesGlobal, lw::kGlobalRelease);
  if (messageService_ != nullptr)
    module::hostGlobal(lw::kMessagesGlobal, lw::kGlobalRelease);
}

void ConfigPanel::reportBuildError() {
  if (messageService_ != nullptr && messageService_->error != nullptr)
    messageService_->error(kBuildError, nullptr);
}

bool ConfigPanel::buildPanel() {
  if (panelServices_ == nullptr || messageService_ == nullptr) {
    reportBuildError();
    return false;
  }
  panelHandle_ = panelServices_->create(kTitle, panelServices_);
  if (panelHandle_ == nullptr) {
    reportBuildError();
    return false;
  }
  if (!addControls()) {
    // A half-built panel is of no use; the next request starts over.
    reportBuildError();
    panelServices_->destroy(panelHandle_);
    panelHandle_ = nullptr;
    return false;
  }

  attach(aboutButton_, onAbout);
  attach(functionsList_, onFunctionSelected);
  attach(commandField_, onCommandEdited);
  attach(captureToggle_, ignoreEvent);
  attach(configureButton_, onConfigure);
  attach(openOnActivationToggle_, onOpenOnActivation);
  panelServices_->set(panelHandle_, lw::kPanCloseFunc,
                      asPointer(&onPanelClosed));

  // The panel ends at the Command field's bottom edge; its width is left to
  // the host.
  commandField_->get(commandField_, lw::kCtlY, &intValue);
  const int fieldTop = intValue.intv.value;
  commandField_->get(commandField_, lw::kCtlH, &intValue);
  int panelHeight = fieldTop + intValue.intv.value;
  panelServices_->set(panelHandle_, lw::kPanH, &panelHeight);

  alignRightEdge(panelServices_, panelHandle_, aboutButton_, -4);
  return true;
}

lw::Control* ConfigPanel::add(const char* type, const char* label) {
  return panelServices_->addControl(panelHandle_, type, &controlDescriptor,
                                    label);
}

bool ConfigPanel::addControls() {
  controlDescriptor.type = lw::kDescArea;
  controlDescriptor.area.width = 70;
  controlDescriptor.area.height = 0;
  configureButton_ = add("ButtonControl", "Configure");
  if (configureButton_ == nullptr) return false;

  // The boolean kind has no fields of its own; the rest of the descriptor
  // keeps what the previous control left there.
  controlDescriptor.type = lw::kDescBoolean;
  openOnActivationToggle_ = add("BoolControl", "Open on activation");
  if (openOnActivationToggle_ == nullptr) return false;
  placeRightOf(configureButton_, openOnActivationToggle_, 0);

  controlDescriptor.type = lw::kDescArea;
  controlDescriptor.area.width = 70;
  controlDescriptor.area.height = 0;
  aboutButton_ = add("ButtonControl", "About");
  if (aboutButton_ == nullptr) return false;
  // Moved to the right end of the row once the panel's width is known.
  placeRightOf(configureButton_, aboutButton_, 0);

  controlDescriptor.type = lw::kDescMultiList;
  controlDescriptor.multiList.width = 300;
  controlDescriptor.multiList.visibleRows = 15;
  controlDescriptor.multiList.count = functionsRowCount;
  controlDescriptor.multiList.name = functionsRowText;
  controlDescriptor.multiList.columnWidth = functionsColumnWidth;
  functionsList_ = add("MultiListBoxControl", "Functions");
  if (functionsList_ == nullptr) return false;
  placeBelow(configureButton_, functionsList_, 7);

  controlDescriptor.type = lw::kDescString;
  controlDescriptor.string.width = 41;
  commandField_ = add("EditControl", "Command");
  if (commandField_ == nullptr) return false;
  placeBelow(functionsList_, commandField_, 7);

  controlDescriptor.type = lw::kDescBoolean;
  captureToggle_ = add("BoolButtonControl", "Capture");
  if (captureToggle_ == nullptr) return false;
  placeRightOf(commandField_, captureToggle_, 0);
  return true;
}

void ConfigPanel::attach(lw::Control* control, lw::ControlEventFunc handler) {
  intValue.intv.value = 0;
  intValue.intv.ptr = nullptr;
  control->set(control, lw::kCtlUserData, &intValue);
  intValue.intv.ptr = asPointer(handler);
  control->set(control, lw::kCtlEvent, &intValue);
  intValue.intv.ptr = nullptr;
}

void ConfigPanel::setIntValue(lw::Control* control, int value) {
  intValue.intv.value = value;
  control->set(control, lw::kCtlValue, &intValue);
}

int ConfigPanel::intValueOf(lw::Control* control) {
  control->get(control, lw::kCtlValue, &intValue);
  return intValue.intv.value;
}

void ConfigPanel::open() {
  panelOpened_ = true;
  setIntValue(captureToggle_, 0);
  // The check box shows the flag as it is now, which the settings file may
  // have changed since the last open.
  setIntValue(openOnActivationToggle_,
              connection::driverState.openConfigOnStartup != 0 ? 1 : 0);
  panelServices_->open(panelHandle_, kOpenFlags);
}

void ConfigPanel::selectFunction() {
  selectedSlot_ = intValueOf(functionsList_);
  if (!isSlot(selectedSlot_)) return;
  char* text = settings::buttonCommands[selectedSlot_];
  if (text == nullptr) text = emptyText;
  textValue.str.buf = text;
  textValue.str.bufLen = static_cast<int>(std::strlen(text));
  commandField_->set(commandField_, lw::kCtlValue, &textValue);
  setIntValue(captureToggle_, 0);
}

void ConfigPanel::editCommand() {
  if (!isSlot(selectedSlot_)) return;
  textValue.str.buf = commandEditBuffer;
  textValue.str.bufLen = kCommandBufferSize;
  commandField_->get(commandField_, lw::kCtlValue, &textValue);
  // Whatever the host wrote, the buffer ends inside itself.
  commandEditBuffer[kCommandBufferSize - 1] = '\0';
  settings::replaceText(settings::buttonCommands[selectedSlot_],
                        commandEditBuffer);
  functionsList_->draw(functionsList_, lw::kDrawRefresh);
}

void ConfigPanel::showAboutPanel() {
  showAbout(panelServices_, kAboutTitleWord, kAboutText, panelHandle_);
}

void ConfigPanel::storeOpenOnActivation() {
  connection::driverState.openConfigOnStartup =
      intValueOf(openOnActivationToggle_) != 0 ? 1 : 0;
}

void ConfigPanel::capture(const char* command) {
  if (!panelOpened_) return;
  if (intValueOf(captureToggle_) == 0) return;
  if (!isSlot(selectedSlot_)) return;
  settings::replaceText(settings::buttonCommands[selectedSlot_], command);
  functionsList_->draw(functionsList_, lw::kDrawRefresh);
  // Shows the captured command and turns Capture off: one command per use.
  selectFunction();
}

}  // namespace

lw::ErrorText openConfigPanel(lw::Instance) noexcept {
  if (configPanel == nullptr) {
    auto* made = new (std::nothrow) ConfigPanel;
    if (made == nullptr) return nullptr;
    if (!made->built()) {
      delete made;
      return nullptr;
    }
    configPanel = made;
  }
  if (!configPanel->opened()) configPanel->open();
  return nullptr;
}

void releaseConfigPanel() noexcept {
  ConfigPanel* panel = configPanel;
  configPanel = nullptr;
  delete panel;
}

void captureCommand(const char* command) noexcept {
  if (configPanel == nullptr || command == nullptr) return;
  configPanel->capture(command);
}

}  // namespace panels
