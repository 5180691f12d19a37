// Redirected output that takes nothing is a failed write, not a loop: a
// pipe in non-blocking mode whose reader has stopped reading accepts each
// write with 0 bytes written.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace {

TEST(WriteStdOutput, FailsWhereNothingIsTaken) {
  const wchar_t* name = L"\\\\.\\pipe\\tavrel-std-output-test";
  const HANDLE reader = CreateNamedPipeW(name, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT,
                                         1, 0, 4096, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  const HANDLE writer = CreateFileW(name, GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD mode = PIPE_NOWAIT;
  ASSERT_TRUE(SetNamedPipeHandleState(writer, &mode, nullptr, nullptr));
  const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, writer);
  const std::string text(1 << 20, 'x');
  EXPECT_THROW(platform::WriteStdOutput(text.data(), text.size()), platform::Failure);
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  CloseHandle(writer);
  CloseHandle(reader);
}

}  // namespace
