// The child windows that make up the controls: which window class and styles
// each kind of control is made of, and the procedures of our own classes.
#pragma once
#include <windows.h>

#include "frame/layout.h"

namespace win32 {

constexpr char kPictureClass[] = "FramePicture";
constexpr char kHtmlViewClass[] = "FrameHtmlView";

inline COLORREF ToColorRef(frame::Colour c) { return static_cast<COLORREF>(c & 0x00FFFFFFu); }

// What a picture box paints; its window keeps a pointer to it.
struct PictureState {
  frame::Colour back = frame::kNoColour;
  frame::Picture picture = frame::Picture::None;
};

struct ControlClass {
  const char* cls;  // null for the components without a window
  DWORD style;
  DWORD exStyle;
};

// The window class and styles of a control, before its visible and disabled flags.
ControlClass ClassOf(const frame::Control& c);

// Makes a group box hand what its children send it on to the top-level
// window, so controls inside a group box behave like those on the window.
void ForwardGroupMessages(HWND group);

// Gives a picture box what it paints; the state must outlive the window.
void AttachPicture(HWND picture, PictureState* state);

void RegisterControlClasses();

}  // namespace win32
