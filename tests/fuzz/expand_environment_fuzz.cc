// Environment expansion on the stand-in.  Input: one byte choosing the
// buffer size, then the text (to its first NUL).
//
// The environment is replaced by a few variables of known values, so the
// expansion is known: each "%name%" of a visible variable (any letter
// case, names and values as ANSI) becomes its value, once, without a
// second pass; any other reference, and an unfinished one, stays as typed.
// Properties: the count is the expansion's length plus its NUL; when that
// fits, the buffer holds exactly the expansion; when not, a cut one, and
// nothing is written past the buffer (an exact heap block);
// ExpandNameVariables gives the expansion exactly when the system can.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "fuzz_check.h"
#include "platform/platform.h"
#include "resolve/dispatch_name.h"

namespace {

constexpr std::uint32_t kSystemLimit = 32767;  // characters, NUL included

// Name and value as the program sees them (Windows-1252).
const std::pair<const char*, std::string> kVisible[] = {
    {"A", "1"},
    {"PATH", "c:\\win;%A%"},  // a reference in a value is not expanded again
    {"EMPTY", ""},
    {"\xC9T\xC9", "caf\xE9"},   // set in UTF-8 on the host
    {"BIG", std::string(12000, 'x')},
};

std::string Upper(std::string text) {
  if (!text.empty()) platform::UpperCase(&text[0], text.size());
  return text;
}

std::string Expected(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
    if (text[i] != '%') {
      out += text[i++];
    } else if (close == std::string::npos) {
      out += text.substr(i);
      break;
    } else {
      std::string replacement = text.substr(i, close - i + 1);
      const std::string name = Upper(text.substr(i + 1, close - i - 1));
      for (const auto& variable : kVisible)
        if (name == Upper(variable.first)) replacement = variable.second;
      out += replacement;
      i = close + 1;
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  clearenv();
  setenv("A", "1", 1);
  setenv("Path", "c:\\win;%A%", 1);
  setenv("EMPTY", "", 1);
  setenv("\xC3\x89T\xC3\x89", "caf\xC3\xA9", 1);
  setenv("BIG", std::string(12000, 'x').c_str(), 1);
  setenv("HOME", "/home/withheld", 1);  // hosts' own, not handed on
  setenv("QT_SCALE", "2", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, std::min<std::size_t>(size - 1, 300));
  const char* source = text.c_str();
  const std::string expected = Expected(source);
  if (expected.size() > 2 * kSystemLimit) return 0;  // past the limit, more is only slower
  const std::uint32_t needed = static_cast<std::uint32_t>(expected.size() + 1);

  // Small sizes, sizes around the one needed, and the system's limit.
  std::uint32_t buffer_size = data[0] % 64;
  if (data[0] >= 0xC0) buffer_size = needed - 1 + (data[0] % 3);
  if (data[0] >= 0xF0) buffer_size = kSystemLimit - 1 + (data[0] % 3);
  const std::unique_ptr<char[]> buffer(new char[buffer_size]);
  const std::uint32_t count = platform::ExpandEnvironment(source, buffer.get(), buffer_size);
  FUZZ_CHECK(count == needed);
  const std::uint32_t capacity = buffer_size < kSystemLimit ? buffer_size : kSystemLimit;
  if (needed <= capacity) {
    FUZZ_CHECK(std::strlen(buffer.get()) + 1 == count);
    FUZZ_CHECK(expected == buffer.get());
  } else if (capacity > 0) {
    FUZZ_CHECK(buffer[capacity - 1] == '\0');
    FUZZ_CHECK(expected.compare(0, capacity - 1, buffer.get()) == 0);
  }

  std::string expanded = "stale";
  const bool whole = ExpandNameVariables(text, &expanded);
  FUZZ_CHECK(whole == (needed <= kSystemLimit));
  if (whole) FUZZ_CHECK(expanded == expected);
  return 0;
}
