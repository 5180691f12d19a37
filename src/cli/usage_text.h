// The program's only help text.
#ifndef TAVREL_CLI_USAGE_TEXT_H_
#define TAVREL_CLI_USAGE_TEXT_H_

// Writes the 26 lines of the usage text to the console output stream.
void WriteUsageText();

#endif  // TAVREL_CLI_USAGE_TEXT_H_
