// Pellarine: a local MP3 player.
#include <windows.h>

#include "frame/frame.h"
#include "player/player_layout.h"
#include "platform/win32/toolkit_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  win32::Toolkit toolkit;
  frame::Frame app(toolkit, player::Layouts());
  return app.Run(player::kPlayerWindow);
}
