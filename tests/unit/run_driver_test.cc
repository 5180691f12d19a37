// The run's hand-over to the system for an interrupted run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_driver.h"
#include "cli/run_options.h"
#include "fake_platform.h"

namespace {

// Once the command line is read, the console's own colours are handed on
// for an interruption to restore; not under /S, which leaves the colours
// alone, nor without a console.
TEST(RunProgram, HandsTheConsoleColoursOnForAnInterruption) {
  const struct {
    const char* command_line;
    int console_attributes;
    std::vector<std::string> interrupt;
  } cases[] = {
      {"tavrel x.dll", 0x1F, {"0000001F"}},
      {"tavrel x.dll /S", 0x1F, {}},
      {"tavrel x.dll", -1, {}},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::Sys().command_line = c.command_line;
    fake::Sys().console_attributes = c.console_attributes;
    RunOptions = RunOptionsRecord();
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(fake::Sys().interrupt, c.interrupt) << c.command_line;
  }
}

}  // namespace
