// Cordivane: builds embed codes for the online music player.
#include <windows.h>

#include "frame/frame.h"
#include "generator/generator_layout.h"
#include "platform/win32/toolkit_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::Toolkit toolkit;
  frame::Frame app(toolkit, generator::Layouts());
  return app.Run(generator::kGeneratorWindow);
}
