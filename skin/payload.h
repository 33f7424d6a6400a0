// The skin engine's bytes and our 33 skins, as each program carries them.
#pragma once
#include "frame/skin_setup.h"

namespace skin {
frame::SkinPayload Payload();
}
