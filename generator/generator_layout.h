// The layouts of Cordivane's three windows.
#pragma once
#include "frame/layout.h"

namespace generator {

constexpr char kGeneratorWindow[] = "GeneratorWindow";
constexpr char kStudioWindow[] = "StudioWindow";
constexpr char kPreviewWindow[] = "PreviewWindow";

const frame::Layouts& Layouts();

}  // namespace generator
