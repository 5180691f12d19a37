// The run, from the command line to the exit status.
#ifndef TAVREL_APP_RUN_DRIVER_H_
#define TAVREL_APP_RUN_DRIVER_H_

#include <cstdint>
#include <string>

// 0, or 1 after a failure.
extern int ExitCode;

// The word with "s" appended when it is not empty and count exceeds 1.
std::string WithPlural(const std::string& word, std::uint64_t count);

// What an interruption writes out before the process ends: what the report
// file and standard output hold; then the console's colours, unless /S.
// Called with the output lock held.
void WriteOutOnInterrupt();

// Runs the program once; returns the process's exit status.
int RunProgram();

#endif  // TAVREL_APP_RUN_DRIVER_H_
