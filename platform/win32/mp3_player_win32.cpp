#include "platform/win32/mp3_player_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/mp3/frames.h"
#include "platform/mp3/tags.h"
#include "platform/win32/handles.h"
#include "platform/win32/mp3_decoder_win32.h"
#include "platform/win32/wave_output_win32.h"

namespace platform {
namespace {

namespace mp3 = platform::mp3;

using win32mp3::Decoder;
using win32mp3::FileSource;
using win32mp3::Output;

// The current song: its file, frame reader, codec and device. The device is
// opened for the format of the song's first sound frame; when the format
// changes inside the file, what was queued plays out and both codec and device
// are opened again for the new one.
class Song {
 public:
  static std::unique_ptr<Song> Open(const std::string& path, int count, HANDLE done) {
    std::unique_ptr<Song> s(new Song);
    s->file_ = FileSource::Open(path);
    if (!s->file_) return nullptr;
    s->span_ = mp3::FindAudio(*s->file_);
    s->passes_left_ = count;
    s->done_ = done;
    s->reader_.emplace(*s->file_, s->span_);
    // Finds the first sound frame, past any Xing or Info frame, and holds it for Pump.
    while (s->DecodeMore()) {
    }
    if (!s->Pump()) return nullptr;
    return s;
  }

  bool paused() const { return paused_; }
  void Pause() {
    output_->Pause();
    paused_ = true;
  }
  void Resume() {
    output_->Resume();
    paused_ = false;
  }

  // Refills whatever buffers have played; false once the song has ended.
  bool Pump() {
    for (;;) {
      if (output_ && output_->Feed([this](uint8_t* out, size_t room) { return TakeSound(out, room); })) {
        return true;
      }
      // Nothing is queued any more: the end, or a frame of a new format waits.
      if (!held_) return false;
      output_.reset();
      decoder_.reset();
      decoder_ = Decoder::Open(held_->header);
      output_ = decoder_ ? Output::Open(held_->header, done_) : nullptr;
      if (!output_) return false;
      format_ = held_->header;
      std::vector<uint8_t> bytes = std::move(held_->bytes);
      held_.reset();
      DecodeFrame(bytes.data(), bytes.size());
    }
  }

 private:
  struct HeldFrame {
    mp3::FrameHeader header;
    std::vector<uint8_t> bytes;
  };
  Song() = default;

  // Copies up to `room` bytes of decoded sound into a device buffer.
  size_t TakeSound(uint8_t* out, size_t room) {
    while (pcm_.size() < room && DecodeMore()) {
    }
    size_t n = std::min(room, pcm_.size());
    std::memcpy(out, pcm_.data(), n);
    pcm_.erase(pcm_.begin(), pcm_.begin() + n);
    return n;
  }

  // Decodes the next frame of the current format; false when there is none now.
  bool DecodeMore() {
    if (held_ || passes_left_ <= 0) return false;
    mp3::Frame f;
    if (!reader_->Next(&f)) {
      if (decoder_) decoder_->Flush(&pcm_);
      // A pass that gave no sound would give none again: stop rather than spin.
      if (--passes_left_ <= 0 || !pass_had_sound_) {
        passes_left_ = 0;
        return false;
      }
      reader_.emplace(*file_, span_);
      pass_had_sound_ = false;
      if (decoder_) decoder_->Restart();
      return true;
    }
    if (f.info) return true;  // an encoder's table of contents, not sound
    if (!decoder_ || !mp3::SameStream(f.header, format_)) {
      if (decoder_) decoder_->Flush(&pcm_);
      held_ = HeldFrame{f.header, std::vector<uint8_t>(f.data, f.data + f.header.frame_bytes)};
      return false;
    }
    DecodeFrame(f.data, f.header.frame_bytes);
    return true;
  }

  void DecodeFrame(const uint8_t* data, size_t size) {
    size_t before = pcm_.size();
    decoder_->Decode(data, size, &pcm_);
    if (pcm_.size() > before) pass_had_sound_ = true;
  }

  std::unique_ptr<FileSource> file_;
  mp3::AudioSpan span_;
  std::optional<mp3::FrameReader> reader_;
  mp3::FrameHeader format_;
  std::unique_ptr<Decoder> decoder_;
  std::unique_ptr<Output> output_;
  std::optional<HeldFrame> held_;
  std::vector<uint8_t> pcm_;  // decoded, not yet handed to the device
  HANDLE done_ = nullptr;
  int passes_left_ = 0;
  bool pass_had_sound_ = false;
  bool paused_ = false;
};

void NameThisThread();

struct Command {
  enum Kind { kPlay, kPause, kResume, kStop, kQuit };
  explicit Command(Kind k, int n = 0, std::string p = {}) : kind(k), count(n), path(std::move(p)) {}
  Kind kind;
  int count;
  std::string path;
};

class ScopedLock {
 public:
  explicit ScopedLock(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
  ~ScopedLock() { LeaveCriticalSection(cs_); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  CRITICAL_SECTION* cs_;
};

// What the worker thread owns: the mailbox the GUI thread posts to, the two
// events it sleeps on, and the current song.
class Worker {
 public:
  Worker() : wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)), done_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
  }
  ~Worker() { DeleteCriticalSection(&lock_); }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;
  bool ready() const { return wake_ && done_; }

  // Play, Stop and Quit discard the current song whatever came before them,
  // so what is still waiting in the mailbox is dropped.
  void Post(Command command) {
    {
      ScopedLock hold(&lock_);
      if (command.kind == Command::kPlay || command.kind == Command::kStop || command.kind == Command::kQuit) {
        mailbox_.clear();
      }
      mailbox_.push_back(std::move(command));
    }
    SetEvent(wake_.get());
  }

  static DWORD WINAPI Main(void* self) {
    NameThisThread();
    static_cast<Worker*>(self)->Run();
    return 0;
  }

 private:
  void Run() {
    for (;;) {
      // Sleeps on the device only while it plays; paused, stopped or
      // finished, only a command can wake the thread.
      HANDLE waits[] = {wake_.get(), done_.get()};
      bool playing = song_ && !song_->paused();
      WaitForMultipleObjects(playing ? 2 : 1, waits, FALSE, INFINITE);
      try {
        // Commands first, so a pause or stop never waits behind decoding.
        while (std::optional<Command> c = Take()) {
          if (c->kind == Command::kQuit) {
            song_.reset();
            return;
          }
          Apply(*c);
        }
        if (song_ && !song_->paused() && !song_->Pump()) song_.reset();
      } catch (...) {
        song_.reset();  // out of memory: drop the song, keep serving commands
      }
    }
  }

  std::optional<Command> Take() {
    ScopedLock hold(&lock_);
    if (mailbox_.empty()) return std::nullopt;
    Command c = std::move(mailbox_.front());
    mailbox_.pop_front();
    return c;
  }

  void Apply(const Command& c) {
    switch (c.kind) {
      case Command::kPlay:
        song_.reset();
        if (c.count > 0 && !c.path.empty()) song_ = Song::Open(c.path, c.count, done_.get());
        break;
      case Command::kPause:
        if (song_ && !song_->paused()) song_->Pause();
        break;
      case Command::kResume:
        if (song_ && song_->paused()) {
          song_->Resume();
          if (!song_->Pump()) song_.reset();
        }
        break;
      case Command::kStop:
      case Command::kQuit:
        song_.reset();
        break;
    }
  }

  CRITICAL_SECTION lock_;
  std::deque<Command> mailbox_;
  win32::Handle wake_;
  win32::Handle done_;
  std::unique_ptr<Song> song_;
};

// Names the worker for debuggers and for the sound tests, which watch it sleep.
// SetThreadDescription is looked up because older systems lack it.
void NameThisThread() {
  using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
  FARPROC f = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadDescription");
  if (f) reinterpret_cast<SetDescription>(reinterpret_cast<void*>(f))(GetCurrentThread(), L"mp3 player");
}

class Win32Mp3Player : public Mp3Player {
 public:
  Win32Mp3Player() : worker_(new Worker) {
    if (!worker_->ready()) return;
    thread_.reset(CreateThread(nullptr, 0, &Worker::Main, worker_.get(), 0, nullptr));
    if (thread_) SetThreadPriority(thread_.get(), THREAD_PRIORITY_ABOVE_NORMAL);
  }
  ~Win32Mp3Player() override {
    if (!thread_) return;
    Post(Command(Command::kQuit));
    // A worker stuck in the sound driver must not hold up the program's end;
    // it keeps its state, which is then never freed.
    if (WaitForSingleObject(thread_.get(), 5000) != WAIT_OBJECT_0) worker_.release();
  }
  Win32Mp3Player(const Win32Mp3Player&) = delete;
  Win32Mp3Player& operator=(const Win32Mp3Player&) = delete;

  void Play(int count, const frame::Text& path) override {
    try {
      Post(Command(Command::kPlay, count, path));
    } catch (...) {  // copying the path ran out of memory
    }
  }
  void Pause() override { Post(Command(Command::kPause)); }
  void Resume() override { Post(Command(Command::kResume)); }
  void Stop() override { Post(Command(Command::kStop)); }

 private:
  // Called from window procedures: nothing may be thrown out of here.
  void Post(Command command) noexcept {
    if (!thread_) return;
    try {
      worker_->Post(std::move(command));
    } catch (...) {
    }
  }

  std::unique_ptr<Worker> worker_;
  win32::Handle thread_;
};

}  // namespace

std::unique_ptr<Mp3Player> MakeMp3Player() { return std::make_unique<Win32Mp3Player>(); }

}  // namespace platform
