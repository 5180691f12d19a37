// The output lock keeps the interruption's thread out while the run's
// thread writes, and the run's thread may take it again inside an item.
// Ctrl+C writes out what the output holds under the lock, keeps it (the
// run's thread stops at its next line) and leaves the end of the process
// to the system; a lock kept for good (a write that never returns) holds
// it up for 3 s only, and a second event (Ctrl+C again) waits for good for
// the first to end the process.  ctest runs each test in a process of its
// own.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32_internal.h"

namespace {

DWORD WINAPI TakeTheLock(LPVOID) {
  platform::LockOutput();
  return 0;
}

// True when another thread gets the lock within 100 ms; it keeps it.
bool LockIsFree() {
  const HANDLE other = CreateThread(nullptr, 0, TakeTheLock, nullptr, 0, nullptr);
  const bool taken = WaitForSingleObject(other, 100) == WAIT_OBJECT_0;
  CloseHandle(other);
  return taken;
}

TEST(OutputLock, KeepsOtherThreadsOutUntilLeftAsOftenAsTaken) {
  platform::LockOutput();
  platform::LockOutput();
  const HANDLE other = CreateThread(nullptr, 0, TakeTheLock, nullptr, 0, nullptr);
  for (int left = 2; left > 0; --left) {
    EXPECT_EQ(WaitForSingleObject(other, 100), static_cast<DWORD>(WAIT_TIMEOUT)) << left;
    platform::UnlockOutput();
  }
  EXPECT_EQ(WaitForSingleObject(other, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(other);
}

int written_out = 0;
void WriteOut() { ++written_out; }

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

HANDLE write_out_may_end = nullptr;
void SlowWriteOut() { WaitForSingleObject(write_out_may_end, INFINITE); }

DWORD WINAPI Interrupt(LPVOID) { return platform::win32::OnConsoleEvent(CTRL_C_EVENT); }

TEST(Interruption, ASecondEventWaitsForTheFirstForGood) {
  write_out_may_end = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  platform::HandleInterrupts(SlowWriteOut);
  const HANDLE first = CreateThread(nullptr, 0, Interrupt, nullptr, 0, nullptr);
  Sleep(100);
  const HANDLE second = CreateThread(nullptr, 0, Interrupt, nullptr, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(second, 5000), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(write_out_may_end);
  EXPECT_EQ(WaitForSingleObject(first, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(second, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
