// Reads one command a line and hands it to the MP3 player:
//   play <count> <path bytes in hex>   pause   resume   stop   quit
// and prints one line when the call has returned: the command and how long
// the call took in microseconds, e.g. "pause 12".
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/win32/mp3_player_win32.h"

namespace {

bool FromHex(const std::string& hex, std::string* bytes) {
  if (hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    try {
      size_t used = 0;
      int byte = std::stoi(hex.substr(i, 2), &used, 16);
      if (used != 2) return false;
      bytes->push_back(static_cast<char>(byte));
    } catch (...) {
      return false;
    }
  }
  return true;
}

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (to.QuadPart - from.QuadPart) * 1e6 / frequency.QuadPart;
}

}  // namespace

int main() {
  std::unique_ptr<platform::Mp3Player> player = platform::MakeMp3Player();
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command, hex, path;
    int count = 0;
    words >> command;
    if (command == "quit") break;
    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    if (command == "play" && (words >> count) && (!(words >> hex) || FromHex(hex, &path))) {
      player->Play(count, path);
    } else if (command == "pause") {
      player->Pause();
    } else if (command == "resume") {
      player->Resume();
    } else if (command == "stop") {
      player->Stop();
    } else {
      std::printf("unknown %s\n", line.c_str());
      std::fflush(stdout);
      continue;
    }
    QueryPerformanceCounter(&after);
    std::printf("%s %.0f\n", command.c_str(), Microseconds(before, after));
    std::fflush(stdout);
  }
  player.reset();
  std::printf("bye\n");
  return 0;
}
