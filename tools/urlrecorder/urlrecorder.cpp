// urlrecorder LOG ADDRESS: appends ADDRESS and a line break to the file LOG.
// Registered as the shell's open command for a scheme, it records each
// address the shell hands over, byte for byte. A GUI program without a
// window, so that the shell's start of it opens no console.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc != 3) return 2;
  // Append mode writes each record at the end even when two recorders run at once.
  FILE* log = std::fopen(__argv[1], "ab");
  if (!log) return 1;
  std::fprintf(log, "%s\n", __argv[2]);
  return std::fclose(log) == 0 ? 0 : 1;
}
