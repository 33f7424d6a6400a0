// Texts: GBK byte strings. The absent text and the empty text are one value.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace frame {

using Text = std::string;

// A text from a C string that may be absent (null).
inline Text FromC(const char* s) { return s ? Text(s) : Text(); }

// Byte-wise comparison on unsigned bytes: -1, 0 or 1.
int Compare(std::string_view a, std::string_view b);

// A fresh text holding the bytes of all parts in order.
Text Concat(std::initializer_list<std::string_view> parts);

// The bytes of a buffer up to its first zero byte, or all of them.
Text TextFromBytes(std::string_view bytes);

// The folder part of a full file name: everything before the last backslash,
// where the trail byte of a GBK double-byte character never counts as one.
Text FolderOf(std::string_view path);

}  // namespace frame
