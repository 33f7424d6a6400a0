// Cordivane: builds embed codes for the online music player.
#include <windows.h>

#include "frame/frame.h"
#include "generator/generator_layout.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/http_client_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/toolkit_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::Toolkit toolkit;
  auto http = platform::MakeHttpClient();
  auto shell = win32::MakeShell();
  auto processes = win32::MakeProcesses();
  auto clock = win32::MakeClock();
  auto clipboard = win32::MakeClipboard();
  frame::Services services;
  services.http = http.get();
  services.shell = shell.get();
  services.processes = processes.get();
  services.clock = clock.get();
  services.clipboard = clipboard.get();
  frame::Frame app(toolkit, generator::Layouts(), services);
  return app.Run(generator::kGeneratorWindow);
}
