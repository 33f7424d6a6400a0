#include "frame/text.h"

#include <cstring>

namespace frame {

int Compare(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;  // memcmp compares unsigned bytes
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text Concat(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (auto p : parts) total += p.size();
  Text out;
  out.reserve(total);
  for (auto p : parts) out.append(p.data(), p.size());
  return out;
}

Text TextFromBytes(std::string_view bytes) {
  const size_t zero = bytes.find('\0');
  return Text(bytes.substr(0, zero == std::string_view::npos ? bytes.size() : zero));
}

Text FolderOf(std::string_view path) {
  size_t cut = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const auto b = static_cast<unsigned char>(path[i]);
    if (b >= 0x81 && b <= 0xFE && i + 1 < path.size()) {
      ++i;  // GBK lead byte: the next byte is its trail, never a separator
    } else if (b == '\\') {
      cut = i;
    }
  }
  return cut == std::string_view::npos ? Text() : Text(path.substr(0, cut));
}

}  // namespace frame
