// SkinH_EL.dll: our skin engine. Both functions use the standard Windows
// calling convention (the callee removes its arguments) and are exported by
// these plain names.
//
// SkinH_AttachRes(image, length, name, 0, 0, 0)
//   Reads a skin image (the ".SHE" format of skin_format.h) and keeps a copy
//   of what it needs: the caller may release the image as soon as the call
//   returns. From then on every window of the calling thread, those that
//   exist and those created later, is drawn in the skin: captions, frames and
//   caption buttons of top-level windows and dialogs, push buttons, check
//   boxes, radio buttons, group boxes, edit borders and window backgrounds.
//   Colours a window's owner hands out through WM_CTLCOLOR* win over the
//   skin, except the plain button-face colour.
//   `name`: the empty text (or null) accepts any skin; any other text must
//   equal the name stored in the image, else the image is refused.
//   The three numbers are reserved and must be 0; any other value refuses
//   the call.
//   Returns 1 when the skin is in use, 0 when the call was refused (no image,
//   a short, damaged or foreign image, a name or reserved value that does
//   not fit). A refused call changes nothing.
//
// SkinH_SetAero(on)
//   1: the aero finish, a glassy gloss over captions and caption buttons;
//   0: flat captions. Takes effect at once and for every later skin.
//   Returns 1.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int __stdcall SkinH_AttachRes(const void* image, int length, const char* name, int reserved1, int reserved2,
                              int reserved3);
int __stdcall SkinH_SetAero(int on);

#ifdef __cplusplus
}
#endif
