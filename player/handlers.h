// Pellarine's event handlers: one plain procedure per event.
#pragma once
#include "frame/frame.h"

namespace player {

// The window and its modes.
void WindowCreated(frame::Frame& f);
void ModeOne(frame::Frame& f);
void ModeTwo(frame::Frame& f);
void NameTyped(frame::Frame& f);
void Clear(frame::Frame& f);

// Loading and playback.
void LoadByName(frame::Frame& f);
void ChooseByDialog(frame::Frame& f);
void Start(frame::Frame& f);
void Pause(frame::Frame& f);
void Resume(frame::Frame& f);
void Stop(frame::Frame& f);

// The bytes of the links file written at every start.
frame::Text LinksFileText();

}  // namespace player
