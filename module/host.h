// The LightWave Layout host as this module sees it: every record, function
// type and constant that passes between the module and the host. Written from
// what the module passes and relies on; fields the module never touches are
// kept only where a record's layout needs them.
//
// Conventions used in the comments:
//   [host fills]    the host writes the field, the module reads it;
//   [module fills]  the module writes the field, the host reads it;
//   [ui thread]     called only on the host's user-interface thread, one call
//                   at a time.
// Texts handed to the host by the module are constant for the module's life
// unless a comment says otherwise.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace lw {

// ---------------------------------------------------------------------------
// Loading: the module descriptor and the server table.

// The descriptor's machine word names the platform the library was built for.
// The host refuses a library whose word is not its own.
#if defined(_WIN32) && !defined(_WIN64)
inline constexpr std::uint32_t kMachineWord = 0x300;  // 32-bit Intel Windows
#elif defined(_WIN64)
inline constexpr std::uint32_t kMachineWord = 0x8664;  // 64-bit Windows
#elif defined(__x86_64__)
inline constexpr std::uint32_t kMachineWord = 0x3E64;  // x86-64 POSIX stand-in
#elif defined(__aarch64__)
inline constexpr std::uint32_t kMachineWord = 0xB764;  // AArch64 POSIX stand-in
#else
inline constexpr std::uint32_t kMachineWord = 0xFFFF;  // no host knows this one
#endif
inline constexpr std::uint32_t kModuleSync = 0x04121994;
inline constexpr std::uint32_t kModuleVersion = 3;

// The host's global lookup: a service by name, or null when the host has
// none. useCode is one of the GlobalUse values. The returned service belongs
// to the host; an acquired one stays valid until it is released. [ui thread]
using GlobalFunc = void* (*)(const char* name, int useCode);

enum GlobalUse : int {
  kGlobalTransient = 0,  // look at it now, nothing to give back
  kGlobalAcquire = 1,    // keep it until released
  kGlobalRelease = 2,    // give back what was acquired
};

// A server's activation: fills or uses the class's local record. Returns
// kActivateOk or kActivateBadVersion, nothing else. [ui thread]
using ActivateFunc = int (*)(int version, GlobalFunc global, void* local,
                             void* serverData);
inline constexpr int kActivateOk = 0;
inline constexpr int kActivateBadVersion = 1;

// One row of a server's tag list. The list ends with a row of zeros.
struct ServerTagInfo {
  const char* string;  // [module fills] constant text
  std::uint32_t tag;   // high 16 bits: kind of string; low 16 bits: language
};
inline constexpr std::uint32_t kTagUserName = 0x00000;    // kind 0, or'ed with
inline constexpr std::uint32_t kTagButtonName = 0x10000;  // a language code
inline constexpr std::uint32_t kLanguageUsEnglish = 0x409;

// One row of the server table. The table ends with a row whose four fields
// are all zero.
struct ServerRecord {
  const char* className;         // e.g. "MasterHandler"
  const char* name;              // the server name Layout lists and runs
  ActivateFunc activate;         // called by the host with the class's record
  const ServerTagInfo* tagInfo;  // user name and button name
};

// The exported descriptor. The host reads it once, before anything else.
struct ModuleDescriptor {
  std::uint32_t sync;                    // kModuleSync
  std::uint32_t version;                 // kModuleVersion
  std::uint32_t machine;                 // kMachineWord
  void* (*startup)();                    // non-null result: the module started
  void (*shutdown)(void* startupValue);  // before the library is unloaded
  const ServerRecord* servers;           // row 0 of the server table
};

#if defined(_WIN32) && !defined(_WIN64)
// On the real target every field is 32 bits wide.
static_assert(sizeof(ModuleDescriptor) == 24);
static_assert(sizeof(ServerRecord) == 16);
static_assert(sizeof(ServerTagInfo) == 8);
#endif

// ---------------------------------------------------------------------------
// Services found through GlobalFunc, by these names.

inline constexpr const char* kSystemIdGlobal = "System ID";
inline constexpr const char* kCommandGlobal = "LW Command Interface";
inline constexpr const char* kDisplayInfoGlobal = "Host Display Info";
inline constexpr const char* kDirectoryGlobal = "Directory Info";
inline constexpr const char* kPanelServicesGlobal = "LWPanelServices";
inline constexpr const char* kMessagesGlobal = "Info Messages 2";

// "System ID" is not a record: the lookup's result itself is the value, an
// unsigned number whose top four bits name the product (0 for Layout).
inline constexpr std::uint32_t kSystemProductMask = 0xF0000000u;

// "LW Command Interface": runs one Layout command line at once. The text is
// the caller's and only read during the call. Result: the host's own status,
// which the module ignores. [ui thread]
using CommandFunc = int (*)(const char* commandLine);

// "Host Display Info". The module reads only `window`.
struct HostDisplayInfo {
  void* instance;  // [host fills] the host's program instance
  HWND window;     // [host fills] Layout's main window
  void* display;   // [host fills] unused by the module
};

// "Directory Info": the path of a kind of directory ("Settings"), or null.
// The text belongs to the host and stays valid until the next lookup.
using DirectoryFunc = const char* (*)(const char* kind);

// "Info Messages 2". The module uses `error` only; both texts are read during
// the call, the second may be null.
struct MessageFuncs {
  void (*info)(const char* text, const char* second);
  void (*error)(const char* text, const char* second);
  void (*warning)(const char* text, const char* second);
};

// ---------------------------------------------------------------------------
// Master handler ("MasterHandler", version 4) and its interface
// ("MasterInterface", version 4).

inline constexpr int kMasterHandlerVersion = 4;
inline constexpr int kMasterInterfaceVersion = 4;
inline constexpr int kLayoutGenericVersion = 2;

using Instance = void*;         // the module's token for a handler instance
using ErrorText = const char*;  // null: no error; else a constant text

// Instance callbacks. [module fills] every member it offers. [ui thread]
struct InstanceFuncs {
  void* priv;  // [host fills] the host's own data, untouched by the module
  // Returns the instance, or null with *error set to a constant text.
  Instance (*create)(void* priv, void* context, ErrorText* error);
  void (*destroy)(Instance instance);
  ErrorText (*copy)(Instance to, Instance from);
  ErrorText (*load)(Instance instance, const void* loadState);
  ErrorText (*save)(Instance instance, const void* saveState);
  const char* (*descln)(Instance instance);  // constant one-line description
};

// Scene items the instance depends on. [module fills]
struct ItemFuncs {
  const void* const* (*useItems)(Instance instance);  // null: none
  void (*changeID)(Instance instance, const void* const* ids);
};

// The event access record the host passes to the handler's event callback.
struct MasterAccess {
  int eventCode;    // kEventCommand or kEventRenderDone, or any other
  void* eventData;  // for kEventCommand the command line (const char*)
};
inline constexpr int kEventCommand = 1;
inline constexpr int kEventRenderDone = 4;

// The "MasterHandler" class's local record.
struct MasterHandler {
  InstanceFuncs* inst;  // [host fills] may be null
  ItemFuncs* item;      // [host fills] may be null
  int type;             // [host fills] the module does not write it
  double (*event)(Instance instance, const MasterAccess* access);  // [module]
  unsigned int (*flags)(Instance instance);                        // [module]
};

// The "MasterInterface" class's local record.
struct Interface {
  Instance inst;  // [host fills] the instance the interface is for
  void* panel;    // [module fills] a host-built panel; null: none
  ErrorText (*options)(Instance instance);  // [module fills] opens our panel
  ErrorText (*command)(Instance instance, const char* command);  // [module]
};

// The "LayoutGeneric" class's local record.
struct LayoutGeneric {
  // [host fills] runs a command line at once; result: the host's status.
  int (*evaluate)(void* data, const char* command);
  void* data;  // [host fills] passed back to evaluate
};

// ---------------------------------------------------------------------------
// Panel services ("LWPanelServices").

struct Panel;    // a host panel, opaque
struct Control;  // see below

// Panel attribute tags (get and set).
enum PanelTag : int {
  kPanX = 0,          // int, through its address
  kPanY = 1,          // int, through its address
  kPanW = 2,          // int, through its address
  kPanH = 3,          // int, through its address
  kPanDrawFunc = 7,   // PanelDrawFunc, by value
  kPanCloseFunc = 8,  // PanelCloseFunc, by value: the user closed the panel
  kPanUserData = 12,  // void*, by value
  kPanKeyFunc = 13,   // PanelKeyFunc, by value
};

// Control attribute tags (get and set through a Value).
enum ControlTag : int {
  kCtlX = 0,
  kCtlY = 1,
  kCtlW = 2,
  kCtlH = 3,
  kCtlValue = 4,
  kCtlEvent = 14,     // ControlEventFunc, in an IntValue's ptr
  kCtlUserData = 16,  // void*, in an IntValue's ptr
};

// Panel open flags.
enum PanelFlags : int {
  kPanelBlocking = 1,
  kPanelMouseTrack = 8,
  kPanelAllKeys = 16,
  kPanelNoButtons = 64,
};
inline constexpr int kHandleEventsWait = 3;  // handle(): run until closed
inline constexpr int kDrawRefresh = 3;       // control draw mode

// Value records: every control value, position and size passes through one.
enum ValueKind : int {
  kValueString = 1,
  kValueInt = 2,
};
struct IntValue {
  int type;   // kValueInt
  int value;  // the integer
  void* ptr;  // for kCtlEvent and kCtlUserData: the function or data
};
struct TextValue {
  int type;    // kValueString
  char* buf;   // the caller's buffer: set reads from it, get writes into it
  int bufLen;  // set: length of the text; get: size of the buffer
};
union Value {
  int type;
  IntValue intv;
  TextValue str;
};

// Control descriptor kinds.
enum ControlKind : int {
  kDescString = 1,
  kDescBoolean = 8,
  kDescArea = 19,
  kDescMultiList = 22,
};
// Multi-column list callbacks: user data is the control's user data.
using ListCountFunc = int (*)(void* userData);
using ListNameFunc = const char* (*)(void* userData, int row, int column);
using ListWidthFunc = int (*)(void* userData, int column);

struct ControlDescriptor {
  int type;  // a ControlKind; the other fields count only for that kind
  struct {
    int width;
    int height;
  } area;  // kDescArea
  struct {
    int width;
  } string;  // kDescString
  struct {
    int width;
    int visibleRows;
    ListCountFunc count;
    ListNameFunc name;
    ListWidthFunc columnWidth;
  } multiList;  // kDescMultiList
};

// A control as the host hands it out. The module calls its members with the
// control itself as first argument. [ui thread]
struct Control {
  void (*draw)(Control* control, int mode);
  void (*get)(Control* control, int tag, Value* value);
  void (*set)(Control* control, int tag, Value* value);
  void* priv;  // [host fills] the host's own data
};

using ControlEventFunc = void (*)(Control* control, void* userData);
using PanelDrawFunc = void (*)(Panel* panel, void* userData, int mode);
using PanelKeyFunc = void (*)(Panel* panel, void* userData, int key);
using PanelCloseFunc = void (*)(Panel* panel, void* userData);
inline constexpr int kKeyEnter = 13;

struct DisplayMetrics {
  int width;       // display width in pixels
  int height;      // display height in pixels
  int textHeight;  // height of one line of panel text
};

// Drawing on a panel. Colours are 0..255 per component, or the host's
// palette numbers for drawText. [ui thread, inside a draw callback]
struct DrawFuncs {
  void (*drawRGBPixel)(Panel* panel, int r, int g, int b, int x, int y);
  void (*drawRGBBox)(Panel* panel, int r, int g, int b, int x, int y, int w,
                     int h);
  int (*textWidth)(Panel* panel, const char* text);
  void (*drawText)(Panel* panel, const char* text, int colour, int x, int y);
  const DisplayMetrics* (*displayMetrics)();  // host-owned, constant
};
inline constexpr int kColourBlack = 4139;
inline constexpr int kColourYellow = 4146;

struct PanelFuncs {
  // A new panel titled `title` (read during the call), or null when the host
  // refuses. `services` is this record itself.
  Panel* (*create)(const char* title, PanelFuncs* services);
  void (*destroy)(Panel* panel);
  // Shows the panel; with kPanelBlocking it would wait, without it returns
  // at once.
  int (*open)(Panel* panel, int flags);
  // Runs the panel's events; with kHandleEventsWait it returns once the
  // panel has been closed.
  int (*handle)(Panel* panel, int flags);
  void (*close)(Panel* panel);
  void (*get)(Panel* panel, int tag, void* value);  // see PanelTag
  void (*set)(Panel* panel, int tag, void* value);  // see PanelTag
  // A new control of the named type, or null when the host refuses. The
  // descriptor and label are read during the call.
  Control* (*addControl)(Panel* panel, const char* type,
                         ControlDescriptor* descriptor, const char* label);
  DrawFuncs* drawFuncs;  // [host fills] constant
};

}  // namespace lw
