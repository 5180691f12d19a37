// Ctrl+C writes out what the output holds under the output lock, keeps the
// lock (the run's thread stops at its next line) and leaves the end of the
// process to the system; a run's thread that keeps the lock for good (a
// write that never returns) holds it up for 3 s only.  One event a process.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32_internal.h"

namespace {

int written_out = 0;
void WriteOut() { ++written_out; }

DWORD WINAPI TakeTheLock(LPVOID) {
  platform::LockOutput();
  return 0;
}

// True when another thread gets the lock within 100 ms.
bool LockIsFree() {
  const HANDLE other = CreateThread(nullptr, 0, TakeTheLock, nullptr, 0, nullptr);
  const bool taken = WaitForSingleObject(other, 100) == WAIT_OBJECT_0;
  CloseHandle(other);
  return taken;
}

TEST(Interruption, WritesOutUnderTheLockAndKeepsIt) {
  platform::HandleInterrupts(WriteOut);
  EXPECT_EQ(platform::win32::OnConsoleEvent(CTRL_C_EVENT), FALSE);
  EXPECT_EQ(written_out, 1);
  EXPECT_FALSE(LockIsFree());
}

TEST(Interruption, GivesUpOnALockHeldForGood) {
  platform::HandleInterrupts(WriteOut);
  ASSERT_TRUE(LockIsFree());  // and held for good by that thread, now gone
  const DWORD start = GetTickCount();
  EXPECT_EQ(platform::win32::OnConsoleEvent(CTRL_C_EVENT), FALSE);
  EXPECT_EQ(written_out, 0);
  EXPECT_GE(GetTickCount() - start, 2900u);
}

}  // namespace
