// Loading a song into 编辑框1 and playing it.
#include "platform/files.h"
#include "platform/mp3_player.h"
#include "player/handlers.h"
#include "player/player_layout.h"
#include "values.h"

namespace player {
namespace {

constexpr frame::Ref C(const char* control) { return {kPlayerWindow, control}; }

}  // namespace

frame::Text LinksFileText() {
  return frame::Concat({"ZorvatQQ空间主页：", "http://", values::kSpaceHost, "/", values::kMakerAccount, "\r\n",
                        "Zorvat猴岛工作室：", "http://", values::kForumHost, "/u.php?uid=", values::kForumUserId,
                        " "});
}

void LoadByName(frame::Frame& f) {
  const frame::Text name = f.GetText(C("编辑框2"));
  f.SetText(C("编辑框1"), frame::Concat({f.RunDirectory(), "\\", name, ".mp3"}));
  if (frame::Compare(f.GetText(C("编辑框2")), "") == 0)
    f.SetCaption(C("标签2"), "Tip：请先输入歌曲名称~~~");
  else
    f.SetCaption(C("标签2"), "Tip：请点击开始播放~~~");
}

void ChooseByDialog(frame::Frame& f) {
  if (!f.OpenDialog(C("通用对话框1"))) return;
  f.SetText(C("编辑框1"), f.FileName(C("通用对话框1")));
  f.ShowMessageBox("现在请您点击开始播放", 0, "Zorvat提示：");
}

void Start(frame::Frame& f) {
  if (auto* mp3 = f.services().mp3) mp3->Play(1, f.GetText(C("编辑框1")));
  const frame::Text path = frame::Concat({f.RunDirectory(), "\\", "Zorvat工作室.txt"});
  if (auto* files = f.services().files) files->WriteFile(path, LinksFileText());  // failures are not shown
}

void Pause(frame::Frame& f) {
  if (auto* mp3 = f.services().mp3) mp3->Pause();
  f.SetVisible(C("按钮3"), false);
}

void Resume(frame::Frame& f) {
  if (auto* mp3 = f.services().mp3) mp3->Resume();
  f.SetVisible(C("按钮3"), true);
}

void Stop(frame::Frame& f) {
  if (auto* mp3 = f.services().mp3) mp3->Stop();
}

}  // namespace player
