// Runs a program with an exact command line and returns its exit status.
//
// TAVREL_LAUNCH_PROGRAM names the program (a Windows path) and
// TAVREL_LAUNCH_CMDLINE_FILE a file whose bytes, all of them, are the
// command line: quotes, control characters and ANSI bytes reach the
// program as they stand, with nobody's quoting rules in between.  The
// program shares this process's standard handles and environment.
#include <windows.h>

#include <string>

namespace {

std::string Variable(const char* name) {
  char value[MAX_PATH * 4];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

}  // namespace

int main() {
  const std::string program = Variable("TAVREL_LAUNCH_PROGRAM");
  const std::string file_name = Variable("TAVREL_LAUNCH_CMDLINE_FILE");
  if (program.empty() || file_name.empty()) return 120;
  const HANDLE file = CreateFileA(file_name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 121;
  std::string line;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) line.append(buffer, got);
  CloseHandle(file);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
    SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  PROCESS_INFORMATION process = {};
  std::string command = line;  // CreateProcessA may write into it
  command.push_back('\0');
  if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process))
    return 122;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 123;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
