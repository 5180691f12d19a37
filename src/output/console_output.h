// The console output stream: standard output, owned by the run driver.
//
// On a console every line goes out as soon as it ends, so that colour
// changes fall between lines; otherwise output collects in 64 KB.  A
// failed write never stops the run (the report file still gets every line):
// the stream remembers it, writes nothing more, and says so when closed.
#ifndef TAVREL_OUTPUT_CONSOLE_OUTPUT_H_
#define TAVREL_OUTPUT_CONSOLE_OUTPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "output/console_text.h"
#include "platform/platform.h"

// Standard output for the colour calls, and its colours at start.
extern platform::OutputHandle ConsoleHandle;
extern std::uint16_t SavedAttributes;

void OpenConsoleOutput();
// Writes the name, then the words, then CR LF: on a console the name as
// the ANSI code page spells it, elsewhere through ToConsoleText.
void WriteConsoleLine(const std::string& name, const ProgramWords& words = ProgramWords());
// Writes one of the program's messages (Windows-1252) and a line end, and
// writes out what is buffered: a message is never held back.
void WriteConsoleMessage(const std::string& windows1252);
// Writes bytes as they are.
void WriteConsoleRaw(const char* data, std::size_t length);
// Sets the console colour; without effect when standard output is no
// console.
void SetConsoleColour(std::uint16_t attributes);
// Writes out what is buffered; false when any write of the run failed.
bool CloseConsoleOutput();

#endif  // TAVREL_OUTPUT_CONSOLE_OUTPUT_H_
