// Cordivane's event handlers: one plain procedure per event.
#pragma once
#include <array>

#include "frame/frame.h"
#include "generator/player_code.h"

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

// The code builder. GenerateCode builds the address and the snippet from the
// hash, colour code and autoplay flag the controls hold, with that style.
void GenerateCode(frame::Frame& f, const Style& style);
void ChooseStyleOne(frame::Frame& f);
void ChooseStyleTwo(frame::Frame& f);
void ChooseStyleThree(frame::Frame& f);
// The click handler of each colour button, in the order of kColours.
extern const std::array<frame::Handler, 16> kColourHandlers;
void ChooseAutoplayYes(frame::Frame& f);
void ChooseAutoplayNo(frame::Frame& f);
void HashChanged(frame::Frame& f);
void ClearHash(frame::Frame& f);

// Output and preview.
void CopyAddress(frame::Frame& f);
void CopySnippet(frame::Frame& f);
void OpenPreview(frame::Frame& f);
void PreviewCreated(frame::Frame& f);

}  // namespace generator
