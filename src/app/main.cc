// tavREL: tells whether files, folders and registry keys are protected by
// the system's file-protection service.
#include "app/run_driver.h"
#include "platform/platform.h"

int main() {
  platform::Initialize();
  return RunProgram();
}
