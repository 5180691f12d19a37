// "hold.exe NAME" holds the file NAME open for writing, as another program
// at work on it would; it says "held" once it does, and waits to be ended.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 120;
  const HANDLE file = CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 121;
  std::puts("held");
  std::fflush(stdout);
  Sleep(INFINITE);
}
