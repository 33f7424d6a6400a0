// Cordivane's event handlers: one plain procedure per event.
#pragma once
#include "frame/frame.h"

namespace generator {

// Start-up, the clock, the maker's links and the launcher.
void GeneratorCreated(frame::Frame& f);
void ClockTick(frame::Frame& f);
void OpenStudio(frame::Frame& f);
void OpenForumPage(frame::Frame& f);
void OpenSpacePage(frame::Frame& f);
void OpenSinaBlog(frame::Frame& f);
void OpenTencentBlog(frame::Frame& f);
void OpenTutorial(frame::Frame& f);
void OpenChat(frame::Frame& f);
void StartPlayer(frame::Frame& f);

}  // namespace generator
