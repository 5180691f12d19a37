// The output lock keeps the interruption's thread out while the run's
// thread writes, and the run's thread may take it again inside an item.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/platform.h"

namespace {

LONG taken = 0;

DWORD WINAPI TakeTheLock(LPVOID) {
  platform::LockOutput();
  InterlockedExchange(&taken, 1);
  platform::UnlockOutput();
  return 0;
}

TEST(OutputLock, KeepsOtherThreadsOutUntilLeftAsOftenAsTaken) {
  platform::LockOutput();
  platform::LockOutput();
  const HANDLE other = CreateThread(nullptr, 0, TakeTheLock, nullptr, 0, nullptr);
  ASSERT_NE(other, nullptr);
  for (int left = 2; left > 0; --left) {
    EXPECT_EQ(WaitForSingleObject(other, 100), static_cast<DWORD>(WAIT_TIMEOUT)) << left;
    EXPECT_EQ(InterlockedCompareExchange(&taken, 0, 0), 0) << left;
    platform::UnlockOutput();
  }
  EXPECT_EQ(WaitForSingleObject(other, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(taken, 1);
  CloseHandle(other);
}

}  // namespace
