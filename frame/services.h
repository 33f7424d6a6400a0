// The platform services handlers may use besides the frame's own operations.
// Each is a small interface under platform/; a program's main fills in the
// real ones and the unit tests their doubles. A null entry is not offered.
#pragma once

namespace platform {
class Mp3Player;
class HttpClient;
class Clipboard;
class Shell;
class Processes;
class Files;
class Clock;
}  // namespace platform

namespace frame {

class SkinSetup;

struct Services {
  platform::Mp3Player* mp3 = nullptr;
  platform::HttpClient* http = nullptr;
  platform::Clipboard* clipboard = nullptr;
  platform::Shell* shell = nullptr;
  platform::Processes* processes = nullptr;
  platform::Files* files = nullptr;
  platform::Clock* clock = nullptr;
  SkinSetup* skin = nullptr;  // none: the skin steps do nothing
};

}  // namespace frame
