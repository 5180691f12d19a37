// Console text is in the OEM code page; the program's text is ANSI.
#ifndef TAVREL_OUTPUT_CONSOLE_TEXT_H_
#define TAVREL_OUTPUT_CONSOLE_TEXT_H_

#include <string>

// A copy of the text, same length, converted from ANSI to OEM.
std::string ToConsoleText(const std::string& text);

#endif  // TAVREL_OUTPUT_CONSOLE_TEXT_H_
