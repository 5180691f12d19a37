// Standard output, the console and the command line on the stand-in.
//
// On a terminal, colours become ANSI escape sequences and the OEM text is
// shown as UTF-8, as a console would show it; redirected, the colour calls
// fail without effect and the exact bytes are written.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/standin/internal.h"

namespace platform {
namespace {

bool stdout_is_terminal = false;
bool stdout_closed = false;

constexpr std::uint16_t kDefaultAttributes = 0x07;

// The escape sequence that shows text in the console colours `attributes`.
std::string ColourSequence(std::uint16_t attributes) {
  if (attributes == kDefaultAttributes) return "\x1b[0m";
  // Console colour bits are blue 1, green 2, red 4; ANSI's are the other
  // way round.
  const int colour = ((attributes & 4) ? 1 : 0) | ((attributes & 2) ? 2 : 0) |
                     ((attributes & 1) ? 4 : 0);
  return "\x1b[" + std::to_string(((attributes & 8) ? 90 : 30) + colour) + "m";
}

// The output lock, and how long an interruption waits for it.  Never
// destroyed: the process ends with it held, and a late signal's thread may
// still be waiting for it.
std::recursive_timed_mutex& OutputLock() {
  static auto* const lock = new std::recursive_timed_mutex;
  return *lock;
}
constexpr std::chrono::seconds kInterruptWait(3);

// An argument as Wine puts it into the command line it builds from argv.
void AppendQuotedArgument(std::string& line, const std::string& argument, bool first) {
  const bool has_space =
      first || argument.empty() || argument.find_first_of(" \t") != std::string::npos;
  const bool has_quote = argument.find('"') != std::string::npos;
  if (has_space) line += '"';
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else {
      // Backslashes before a quote are doubled, and the quote escaped.
      if (c == '"' && (has_quote || has_space)) line.append(backslashes + 1, '\\');
      backslashes = 0;
    }
    line += c;
  }
  if (has_space) {
    line.append(backslashes, '\\');
    line += '"';
  }
}

void WriteAll(const char* data, std::size_t length) {
  if (stdout_closed) throw Failure("no standard output");
  while (length > 0) {
    const ssize_t n = write(STDOUT_FILENO, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Failure("write");
    }
    data += n;
    length -= static_cast<std::size_t>(n);
  }
}

}  // namespace

void Initialize() {
  // A closed pipe is a failed write, not the end of the process.
  signal(SIGPIPE, SIG_IGN);
  // A standard stream that was closed is held on /dev/null, so that no file
  // opened later takes its number: the report would receive console text.
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int null_fd = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (null_fd >= 0 && null_fd != fd) {
      dup2(null_fd, fd);
      close(null_fd);
    }
    if (fd == STDOUT_FILENO) stdout_closed = true;
  }
  stdout_is_terminal = isatty(STDOUT_FILENO) == 1;
}

std::string CommandLine() {
  // The stand-in's route for an exact command line, as a launcher would
  // pass it to the system.
  if (const char* raw = std::getenv("TAVREL_STANDIN_CMDLINE")) return raw;
  std::string arguments;
  if (std::FILE* file = std::fopen("/proc/self/cmdline", "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) arguments.append(buffer, n);
    std::fclose(file);
  }
  std::string line;
  bool first = true;
  std::size_t start = 0;
  while (start < arguments.size()) {
    std::size_t end = arguments.find('\0', start);
    if (end == std::string::npos) end = arguments.size();
    if (!first) line += ' ';
    AppendQuotedArgument(line, standin::Utf8ToAnsi(arguments.substr(start, end - start)), first);
    first = false;
    start = end + 1;
  }
  return line;
}

OutputHandle StdOutputHandle() { return reinterpret_cast<OutputHandle>(1); }

void ReadConsoleAttributes(OutputHandle, std::uint16_t* attributes) {
  if (stdout_is_terminal) *attributes = kDefaultAttributes;
}

void WriteConsoleAttributes(OutputHandle, std::uint16_t attributes) {
  if (!stdout_is_terminal) return;
  const std::string sequence = ColourSequence(attributes);
  try {
    WriteAll(sequence.data(), sequence.size());
  } catch (const Failure&) {
    // A colour that does not reach the terminal changes nothing else.
  }
}

void LockOutput() { OutputLock().lock(); }
void UnlockOutput() { OutputLock().unlock(); }

void HandleInterrupts(void (*write_out)()) {
  // As the system runs a console's handler: on a thread of its own.  The
  // signals are blocked everywhere else, so that only that thread takes
  // them, and no signal handler runs in the middle of a write.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals, write_out] {
    int signal_number = 0;
    if (sigwait(&signals, &signal_number) != 0) return;
    if (OutputLock().try_lock_for(kInterruptWait)) write_out();  // kept for good
    // The signal's own action ends the process, as it would have at once.
    signal(signal_number, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    raise(signal_number);
  }).detach();
}

bool StdOutputIsCharDevice() {
  struct stat info;
  return fstat(STDOUT_FILENO, &info) == 0 && S_ISCHR(info.st_mode);
}

void WriteStdOutput(const char* data, std::size_t length) {
  if (!stdout_is_terminal) return WriteAll(data, length);
  const std::string shown = standin::OemToUtf8(data, length);
  WriteAll(shown.data(), shown.size());
}

void WriteStdOutputLine(const std::string& name, const std::string& words,
                        const std::string& oem_words) {
  // A terminal shows the name from the ANSI code page and the words from
  // Windows-1252, as a console does; another device takes OEM bytes.
  std::string line;
  if (stdout_is_terminal) {
    line = standin::AnsiToUtf8(name) + standin::AnsiToUtf8(words) + "\r\n";
  } else {
    line = name;
    if (!line.empty()) ToOemCodePage(&line[0], line.size());
    line += oem_words + "\r\n";
  }
  WriteAll(line.data(), line.size());
}

}  // namespace platform
