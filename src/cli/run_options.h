// The run's settings, filled once from the command line and read by all.
#ifndef TAVREL_CLI_RUN_OPTIONS_H_
#define TAVREL_CLI_RUN_OPTIONS_H_

#include <string>

struct RunOptionsRecord {
  bool ListMode = false;
  std::string ListFileName;
  bool Recurse = false;
  bool KeyMode = false;
  bool Force = false;
  bool ProtectedOnly = false;
  bool Silent = false;
  bool WriteReport = false;
  std::string ReportFileName;
  bool ShowUsage = false;
};

extern RunOptionsRecord RunOptions;

// The name being handed to DispatchName: the command-line name, or the
// current line of the list file.
extern std::string CurrentName;

#endif  // TAVREL_CLI_RUN_OPTIONS_H_
