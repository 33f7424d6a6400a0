// Top-level windows built from layouts, with their real controls.
#pragma once
#include <windows.h>

#include <memory>

#include "frame/toolkit.h"

namespace win32 {

// Registers the window classes of the frame once per process.
void RegisterWindowClasses();

std::unique_ptr<frame::NativeWindow> BuildWindow(const frame::WindowLayout& layout,
                                                 frame::WindowEvents& events);

// Tab and arrow-key navigation between the controls of a frame window; true
// when the message was handled.
bool RouteDialogKeys(MSG* msg);

constexpr char kWindowClass[] = "FrameWindow";

}  // namespace win32
