// Holds the output lock for a scope: the lines written meanwhile, to both
// sinks, reach an interruption whole or not at all.
#ifndef TAVREL_OUTPUT_OUTPUT_LOCK_H_
#define TAVREL_OUTPUT_OUTPUT_LOCK_H_

#include "platform/platform.h"

class OutputLock {
 public:
  OutputLock() { platform::LockOutput(); }
  ~OutputLock() { platform::UnlockOutput(); }
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;
};

#endif  // TAVREL_OUTPUT_OUTPUT_LOCK_H_
