// Reads the command line into RunOptions and CurrentName.
#ifndef TAVREL_CLI_PARSE_COMMAND_LINE_H_
#define TAVREL_CLI_PARSE_COMMAND_LINE_H_

#include <string>
#include <vector>

// Fills RunOptions and CurrentName from the arguments (the program's name
// excluded).  Pure apart from those two globals.
void ReadArguments(const std::vector<std::string>& arguments);

// Reads the process's command line.  Writes the usage text and returns
// false when it is asked for; true when the run goes on.
bool ParseCommandLine();

#endif  // TAVREL_CLI_PARSE_COMMAND_LINE_H_
