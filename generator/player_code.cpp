#include "generator/player_code.h"

namespace generator {

const std::array<Style, 3> kStyles = {{
    {"单选框1", "/singlePlayer/4/362/", "代码状态：[式样一]代码已生成，建议先测调效果再复制！", 0x00FF0000, "Zorvat提示："},
    {"单选框2", "/singlePlayer/5/364/", "代码状态：[式样二]代码已生成，建议先测调效果再复制！", 0x00800000, "Zorvat提示"},
    {"单选框3", "/singlePlayer/6/364/", "代码状态：[式样三]代码已生成，建议先测调效果再复制！", 0x00FF0090, "Zorvat提示"},
}};

// The button names skip 19.
const std::array<PlayerColour, 16> kColours = {{
    {"按钮11", "⑴", 0x0000FF00, "9999"},
    {"按钮12", "⑵", 0x00FF8800, "0"},
    {"按钮13", "⑶", 0x00FFA8FF, "800000"},
    {"按钮14", "⑷", 0x00FF0090, "800080"},
    {"按钮15", "⑸", 0x00000080, "987654321"},
    {"按钮16", "⑹", 0x00808080, "000000"},
    {"按钮17", "⑺", 0x00C080FF, "FF8719"},
    {"按钮18", "⑻", 0x00FF0000, "30"},
    {"按钮20", "⑼", 0x0080A080, "4DB653"},
    {"按钮21", "⑽", 0x000080FF, "e29833"},
    {"按钮22", "⑾", 0x0080A080, "339966"},
    {"按钮23", "⑿", 0x000080FF, "ffff00"},
    {"按钮24", "⒀", 0x0000E080, "00ffff"},
    {"按钮25", "⒁", 0x00FF8080, "666699"},
    {"按钮26", "⒂", 0x00800080, "875255"},
    {"按钮27", "⒃", 0x00008080, "7758258"},
}};

const std::array<Autoplay, 2> kAutoplay = {{
    {"选择框1", "选择框2", "1", "是否播放：是", 0x0080E000},
    {"选择框2", "选择框1", "0", "是否播放：否", 0x000000FF},
}};

frame::Text AddressHash(std::string_view hash) {
  frame::Text out;
  out.reserve(hash.size());
  for (const char c : hash) {
    switch (c) {
      case '\'': out += "%27"; break;
      case '"': out += "%22"; break;
      case '<': out += "%3C"; break;
      case '>': out += "%3E"; break;
      default: out += c;
    }
  }
  return out;
}

frame::Text PlayerAddress(std::string_view host, const Style& style, std::string_view colourCode,
                          std::string_view flag, std::string_view hash) {
  return frame::Concat({"http://", host, style.pathPrefix, colourCode, "/", flag, "/", AddressHash(hash), ".swf"});
}

frame::Text EmbedSnippet(std::string_view address) {
  return frame::Concat({"<embed src='", address,
                        "'AllowScriptAccess='always' id='KugouPlayerMini' FlashVars='' quality='high' "
                        "width='1' height='1' ></embed>"});
}

}  // namespace generator
