// Splits a raw command line into arguments.
#ifndef TAVREL_CLI_SPLIT_COMMAND_LINE_H_
#define TAVREL_CLI_SPLIT_COMMAND_LINE_H_

#include <string>
#include <vector>

// The arguments after the program's own name, in order.  Bytes 1 to 32
// separate arguments outside double quotes; a double quote opens or closes
// a quoted stretch and never belongs to an argument; there is no escape
// character; a double-byte character is taken whole.
std::vector<std::string> SplitCommandLine(const std::string& line);

#endif  // TAVREL_CLI_SPLIT_COMMAND_LINE_H_
