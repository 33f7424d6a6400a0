// Pellarine: a local MP3 player.
#include <windows.h>

#include "frame/frame.h"
#include "frame/skin_setup.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/libraries_win32.h"
#include "platform/win32/mp3_player_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "player/player_layout.h"
#include "skin/payload.h"

namespace {
constexpr frame::LibraryBinding kSkinBindings[] = {
    {frame::kSkinLibraryFile, frame::kAttachSkin},
    {frame::kSkinLibraryFile, frame::kSetAero},
};
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::Toolkit toolkit;
  auto files = win32::MakeFiles();
  auto mp3 = platform::MakeMp3Player();
  auto libraries = win32::MakeLibraries();
  frame::SkinSetup skinSetup(*files, *libraries, skin::Payload(), kSkinBindings);
  frame::Services services;
  services.files = files.get();
  services.mp3 = mp3.get();
  services.skin = &skinSetup;
  frame::Frame app(toolkit, player::Layouts(), services);
  return app.Run(player::kPlayerWindow);
}
