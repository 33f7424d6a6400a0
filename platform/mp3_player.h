// The MP3 playback facility: one current song played on a background thread.
// Every operation returns at once; nothing reports when a song ends or fails.
#pragma once
#include "frame/text.h"

namespace platform {

class Mp3Player {
 public:
  virtual ~Mp3Player() = default;
  // Discards the current song, whatever its state, then plays the file (a
  // GBK path) from its start `count` times. An empty path, a count below 1 or
  // a file that cannot be decoded leaves no song current.
  virtual void Play(int count, const frame::Text& path) = 0;
  // Pauses the current song if it is playing; otherwise nothing happens.
  virtual void Pause() = 0;
  // Plays on from where the current song paused; otherwise nothing happens.
  virtual void Resume() = 0;
  // Discards the current song, whatever its state.
  virtual void Stop() = 0;
};

}  // namespace platform
