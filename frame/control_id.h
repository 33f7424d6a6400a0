// Names of controls and the window ids that outside automation relies on.
#pragma once
#include <string_view>

#include "frame/layout.h"

namespace frame {

// The kind a control name starts with, and the number after it.
// False when the name is not a kind word followed by a decimal number.
bool ParseControlName(std::string_view name, Kind* kind, int* number);

// The kind number of the automation contract (按钮 1 ... 超文本浏览框 8), 0 for
// the invisible components, which have no window.
int KindNumber(Kind kind);

// A control window's id: kind number x 100 + the control's number
// ("按钮6" is 106, "编辑框2" is 202). 0 for a name that cannot be parsed.
int ControlId(std::string_view name);

}  // namespace frame
