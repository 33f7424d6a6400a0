// A stand-in skin library of the right name and exports whose SkinH_SetAero
// breaks the standard calling convention: it leaves its argument on the
// stack for the caller to remove.
extern "C" int __stdcall SkinH_AttachRes(const void*, int, const char*, int, int, int) { return 1; }
extern "C" int __cdecl SkinH_SetAero(int) { return 1; }
