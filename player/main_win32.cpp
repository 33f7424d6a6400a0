// Pellarine: a local MP3 player.
#include <windows.h>

#include "frame/frame.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/mp3_player_win32.h"
#include "platform/win32/toolkit_win32.h"
#include "player/player_layout.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::Toolkit toolkit;
  auto files = win32::MakeFiles();
  auto mp3 = platform::MakeMp3Player();
  frame::Services services;
  services.files = files.get();
  services.mp3 = mp3.get();
  frame::Frame app(toolkit, player::Layouts(), services);
  return app.Run(player::kPlayerWindow);
}
