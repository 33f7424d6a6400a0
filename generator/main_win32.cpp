// Cordivane: builds embed codes for the online music player.
#include <windows.h>

#include "frame/frame.h"
#include "frame/skin_setup.h"
#include "generator/generator_layout.h"
#include "platform/win32/clipboard_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/http_client_win32.h"
#include "platform/win32/libraries_win32.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "skin/payload.h"

namespace {
constexpr frame::LibraryBinding kSkinBindings[] = {
    {frame::kSkinLibraryFile, frame::kSetAero},
    {frame::kSkinLibraryFile, frame::kAttachSkin},
};
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::Toolkit toolkit;
  auto http = platform::MakeHttpClient();
  auto shell = win32::MakeShell();
  auto processes = win32::MakeProcesses();
  auto clock = win32::MakeClock();
  auto clipboard = win32::MakeClipboard();
  auto files = win32::MakeFiles();
  auto libraries = win32::MakeLibraries();
  frame::SkinSetup skinSetup(*files, *libraries, skin::Payload(), kSkinBindings);
  frame::Services services;
  services.http = http.get();
  services.shell = shell.get();
  services.processes = processes.get();
  services.clock = clock.get();
  services.clipboard = clipboard.get();
  services.skin = &skinSetup;
  frame::Frame app(toolkit, generator::Layouts(), services);
  return app.Run(generator::kGeneratorWindow);
}
