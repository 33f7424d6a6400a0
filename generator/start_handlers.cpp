// Start-up, the clock, the links to the maker's pages and the player launcher.
#include "frame/skin_setup.h"
#include "generator/clock_text.h"
#include "generator/generator_layout.h"
#include "generator/handlers.h"
#include "generator/hit_count.h"
#include "platform/clock.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "values.h"

namespace generator {
namespace {

void OpenAddress(frame::Frame& f, const frame::Text& address) {
  if (auto* shell = f.services().shell) shell->Open(address);
}

}  // namespace

void GeneratorCreated(frame::Frame& f) {
  frame::EnableSkinAero(f);
  frame::ApplySkin(f, 6);
  f.ShowMessageBox("欢迎使用Zorvat软件O(∩_∩)O~~");
  ShowHitCount(f, {kGeneratorWindow, "标签2"}, "软件共计使用次数：", values::kUsageCounterId);
  f.SetPeriod({kGeneratorWindow, "时钟1"}, 1000);
}

void ClockTick(frame::Frame& f) {
  auto* clock = f.services().clock;
  if (!clock) return;
  const platform::LocalTime t = clock->Now();
  f.SetCaption({kGeneratorWindow, "标签3"}, ClockText(t.year, t.month, t.day, t.hour, t.minute, t.second));
}

void OpenStudio(frame::Frame& f) { f.LoadWindow(kStudioWindow); }

void OpenForumPage(frame::Frame& f) {
  OpenAddress(f, frame::Concat({"http://", values::kForumHost, "/u.php?uid=", values::kForumUserId}));
}

void OpenSpacePage(frame::Frame& f) {
  OpenAddress(f, frame::Concat({"http://", values::kSpaceHost, "/", values::kMakerAccount}));
}

void OpenSinaBlog(frame::Frame& f) {
  OpenAddress(f, frame::Concat({"http://", values::kSinaBlogHost, "/u/", values::kMicroblogUserId,
                                "?from=profile&wvr=5&loc=infdomain"}));
}

void OpenTencentBlog(frame::Frame& f) {
  OpenAddress(f, frame::Concat({"http://", values::kTencentBlogHost, "/", values::kMicroblogHandle}));
}

void OpenTutorial(frame::Frame& f) {
  OpenAddress(f, frame::Concat({"http://", values::kSpaceHost, "/", values::kMakerAccount, "/blog/",
                                values::kTutorialPostId}));
}

void OpenChat(frame::Frame& f) { OpenAddress(f, frame::Concat({"tencent://message/?uin=", values::kMakerAccount})); }

void StartPlayer(frame::Frame& f) {
  // No extension: the system looks for the program file with ".exe" appended. Quoted, since
  // unquoted a folder name with a space makes the system try the path's first word as a program.
  if (auto* processes = f.services().processes) processes->Start(frame::Concat({"\"", f.RunDirectory(), "\\Pellarine\""}), 1000);
}

}  // namespace generator
