#include "output/console_output.h"

#include "output/output_lock.h"

platform::OutputHandle ConsoleHandle = nullptr;
std::uint16_t SavedAttributes = 0;

namespace {

// Redirected output goes out in pieces of this size: one system call a
// line made a walk's output cost more than the walk.
constexpr std::size_t kBufferSize = 64 * 1024;

bool line_flushed = false;
bool failed = false;
std::string buffer;

void Emit(const char* data, std::size_t length) {
  if (failed || length == 0) return;
  try {
    platform::WriteStdOutput(data, length);
  } catch (const platform::Failure&) {
    failed = true;
  }
}

void Flush() {
  Emit(buffer.data(), buffer.size());
  buffer.clear();
}

void FlushWhenFull() {
  if (buffer.size() >= kBufferSize) Flush();
}

}  // namespace

void OpenConsoleOutput() {
  line_flushed = platform::StdOutputIsCharDevice();
  failed = false;
  buffer.clear();
  if (!line_flushed) buffer.reserve(kBufferSize + platform::kMaxPath);
}

void WriteConsoleRaw(const char* data, std::size_t length) {
  const OutputLock lock;
  if (line_flushed) return Emit(data, length);
  buffer.append(data, length);
  FlushWhenFull();
}

void WriteConsoleLine(const std::string& name, const ProgramWords& words) {
  const OutputLock lock;
  if (line_flushed) {
    // A console shows the name from the ANSI code page and the words from
    // Windows-1252, another device takes both in the OEM code page: the
    // seam tells the two apart.
    if (failed) return;
    try {
      platform::WriteStdOutputLine(name, words.windows1252, words.oem);
    } catch (const platform::Failure&) {
      failed = true;
    }
    return;
  }
  buffer += ToConsoleText(name);
  buffer += words.oem;
  buffer += "\r\n";
  FlushWhenFull();
}

void WriteConsoleMessage(const std::string& windows1252) {
  const OutputLock lock;
  WriteConsoleLine("", ConvertProgramWords(windows1252));
  Flush();
}

void SetConsoleColour(std::uint16_t attributes) {
  const OutputLock lock;
  platform::WriteConsoleAttributes(ConsoleHandle, attributes);
}

bool CloseConsoleOutput() {
  const OutputLock lock;
  Flush();
  return !failed;
}
