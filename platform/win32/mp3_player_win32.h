// The MP3 playback facility on Windows: the frame reader feeds the system's
// Layer III codec through the Audio Compression Manager, and waveOut plays the
// sound, all on one worker thread.
#pragma once
#include <memory>

#include "platform/mp3_player.h"

namespace platform {

std::unique_ptr<Mp3Player> MakeMp3Player();

}  // namespace platform
