// The layout of Pellarine's one window.
#pragma once
#include "frame/layout.h"

namespace player {

constexpr char kPlayerWindow[] = "PlayerWindow";

const frame::Layouts& Layouts();

}  // namespace player
