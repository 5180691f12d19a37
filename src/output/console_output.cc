#include "output/console_output.h"

#include <cstring>

platform::OutputHandle ConsoleHandle = nullptr;
std::uint16_t SavedAttributes = 0;

namespace {

constexpr std::size_t kBufferSize = 128;

bool line_flushed = false;
bool failed = false;
char buffer[kBufferSize];
std::size_t buffered = 0;

void Emit(const char* data, std::size_t length) {
  if (failed || length == 0) return;
  try {
    platform::WriteStdOutput(data, length);
  } catch (const platform::Failure&) {
    failed = true;
  }
}

void Flush() {
  Emit(buffer, buffered);
  buffered = 0;
}

}  // namespace

void OpenConsoleOutput() {
  line_flushed = platform::StdOutputIsCharDevice();
  failed = false;
  buffered = 0;
}

void WriteConsoleRaw(const char* data, std::size_t length) {
  if (line_flushed) {
    Emit(data, length);
    return;
  }
  while (length > 0) {
    const std::size_t room = kBufferSize - buffered;
    const std::size_t chunk = length < room ? length : room;
    std::memcpy(buffer + buffered, data, chunk);
    buffered += chunk;
    data += chunk;
    length -= chunk;
    if (buffered == kBufferSize) Flush();
  }
}

void WriteConsoleLine(const std::string& name, const ProgramWords& words) {
  std::string line = ToConsoleText(name);
  if (line_flushed) {
    // A console shows the words from Windows-1252, another device takes
    // them in the OEM code page: the seam tells the two apart.
    if (failed) return;
    try {
      platform::WriteStdOutputLine(line, words.windows1252, words.oem);
    } catch (const platform::Failure&) {
      failed = true;
    }
    return;
  }
  line += words.oem;
  line += "\r\n";
  WriteConsoleRaw(line.data(), line.size());
}

void SetConsoleColour(std::uint16_t attributes) {
  platform::WriteConsoleAttributes(ConsoleHandle, attributes);
}

bool CloseConsoleOutput() {
  Flush();
  return !failed;
}
