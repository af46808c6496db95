// What the stand-in driver library offers its host beside the 25 SpaceWare
// exports: a feed that makes the device report events, the choice whether a
// device is present, and a report of every call the module makes.
#pragma once

#include "device/siapp.h"

#if defined(_WIN32)
#define SIAPP_API extern "C" __declspec(dllexport)
#else
#define SIAPP_API extern "C" __attribute__((visibility("default")))
#endif

namespace standin_driver {
using CallObserver = void (*)(const char* call, void* context);
// Function types for hosts that find these exports by name.
using SetPresentFn = void (*)(int present);
using FeedFn = int (*)(const siapp::SiSpwEvent* event);
using SetObserverFn = void (*)(CallObserver observer, void* context);
using IsOpenFn = int (*)();
using QueriesFn = long (*)();
}  // namespace standin_driver

// Whether SiOpen finds a device (1, the default) or gives no handle (0).
SIAPP_API void StandinDriverSetPresent(int present);
// Posts one device event to the window the device was opened for. 1 when
// posted; 0 when no device is open or the queue is full.
SIAPP_API int StandinDriverFeed(const siapp::SiSpwEvent* event);
// Told of each call the module makes: "initialise", "terminate",
// "open", "close", "beep PATTERN", "ui-mode N", and the others by name.
SIAPP_API void StandinDriverSetObserver(standin_driver::CallObserver observer,
                                        void* context);
// How many times SiGetEvent has been asked, whatever it answered.
SIAPP_API long StandinDriverEventQueries();
// 1 while a device is open.
SIAPP_API int StandinDriverIsOpen();
