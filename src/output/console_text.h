// Console text is in the OEM code page; the program's text is ANSI, and its
// own words are Windows-1252.
#ifndef TAVREL_OUTPUT_CONSOLE_TEXT_H_
#define TAVREL_OUTPUT_CONSOLE_TEXT_H_

#include <string>

// A copy of the text, same length, converted from ANSI to OEM.
std::string ToConsoleText(const std::string& text);

// The program's own words as each sink takes them.  On a system whose code
// pages are not 1252 and 850 they differ from the Windows-1252 bytes.
struct ProgramWords {
  std::string windows1252;  // for a console, which is written in UTF-16
  std::string ansi;         // for the report file
  std::string oem;          // for standard output elsewhere
};

// Converts once: words written on every line are kept converted.
ProgramWords ConvertProgramWords(const std::string& windows1252);

#endif  // TAVREL_OUTPUT_CONSOLE_TEXT_H_
