// Environment expansion on the stand-in.  Input: one byte choosing the
// buffer size, then the text (to its first NUL).
//
// Properties: the count (the expansion's length plus its NUL) does not
// depend on the buffer; when it fits, the buffer holds a text of that
// length; when not, the start of the expansion, cut, with its NUL, and
// nothing is written past the buffer (an exact heap block); a text
// without "%" is its own expansion; ExpandNameVariables gives the
// expansion exactly when the system can.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "platform/platform.h"
#include "resolve/dispatch_name.h"

namespace {

constexpr std::uint32_t kSystemLimit = 32767;  // characters, NUL included

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  clearenv();
  setenv("A", "1", 1);
  setenv("Path", "c:\\win;%A%", 1);
  setenv("EMPTY", "", 1);
  setenv("\xC3\x89T\xC3\x89", "caf\xC3\xA9", 1);
  setenv("BIG", std::string(12000, 'x').c_str(), 1);
  setenv("HOME", "/home/withheld", 1);  // hosts' own, not handed on
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, std::min<std::size_t>(size - 1, 300));
  const char* source = text.c_str();
  static char whole[kSystemLimit];
  const std::uint32_t needed = platform::ExpandEnvironment(source, whole, kSystemLimit);
  if (text.find('%') == std::string::npos) FUZZ_CHECK(needed == std::strlen(source) + 1);

  // Small sizes, sizes around the one needed, and the system's limit.
  std::uint32_t buffer_size = data[0] % 64;
  if (data[0] >= 0xC0) buffer_size = needed - 1 + (data[0] % 3);
  if (data[0] >= 0xF0) buffer_size = kSystemLimit - 1 + (data[0] % 3);
  const std::unique_ptr<char[]> buffer(new char[buffer_size]);
  FUZZ_CHECK(platform::ExpandEnvironment(source, buffer.get(), buffer_size) == needed);
  const std::uint32_t capacity = std::min(buffer_size, kSystemLimit);
  if (needed <= capacity) {
    FUZZ_CHECK(std::strlen(buffer.get()) + 1 == needed);
  } else if (capacity > 0) {
    FUZZ_CHECK(buffer[capacity - 1] == '\0');
    FUZZ_CHECK(std::strncmp(whole, buffer.get(), capacity - 1) == 0);
  }

  std::string expanded = "stale";
  const bool complete = ExpandNameVariables(text, &expanded);
  FUZZ_CHECK(complete == (needed <= kSystemLimit));
  if (complete) FUZZ_CHECK(expanded == whole);
  return 0;
}
