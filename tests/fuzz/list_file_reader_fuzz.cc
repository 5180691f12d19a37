// The list-file reader.  Input: a byte p, then (p % 4 + 1) bytes giving the
// sizes of the pieces the file arrives in, in turn, then the file.
//
// Properties: no name holds CR or LF, nor Ctrl-Z but as the lost character
// of a file marked as Unicode, and the names together are no longer than
// the file; the names are the same however the file is cut into pieces;
// once at its end the reader reads nothing more.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/list_file_reader.h"
#include "platform/platform.h"
#include "fuzz_check.h"

namespace {

std::vector<std::string> ReadAll(const std::string& file, const std::vector<std::size_t>& pieces) {
  std::size_t offset = 0, turn = 0;
  bool at_end = false;
  ListFileReader reader([&](char* buffer, std::size_t size) {
    FUZZ_CHECK(!at_end);
    const std::size_t n = std::min({size, pieces[turn++ % pieces.size()], file.size() - offset});
    std::memcpy(buffer, file.data() + offset, n);
    offset += n;
    at_end = n == 0;
    return n;
  });
  std::vector<std::string> lines;
  std::string line;
  std::size_t bytes = 0;
  const bool unicode = file.compare(0, 2, "\xFF\xFE") == 0 || file.compare(0, 3, "\xEF\xBB\xBF") == 0;
  while (reader.ReadLine(line)) {
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(unicode || line.find(platform::kLostCharacter) == std::string::npos);
    bytes += line.size();
    lines.push_back(line);
  }
  FUZZ_CHECK(line.empty() && bytes <= file.size());
  FUZZ_CHECK(!reader.ReadLine(line) && line.empty());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t count = std::min<std::size_t>(data[0] % 4 + 1, size - 1);
  std::vector<std::size_t> pieces;
  for (std::size_t k = 1; k <= count; ++k)
    pieces.push_back(data[k] < 0xF0 ? data[k] % 16 + 1 : 4096u * (data[k] - 0xEFu));
  if (pieces.empty()) pieces.push_back(1);
  const std::string file(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);

  const std::vector<std::string> lines = ReadAll(file, pieces);
  FUZZ_CHECK(ReadAll(file, {file.size() + 1}) == lines);
  FUZZ_CHECK(ReadAll(file, {1}) == lines);
  return 0;
}
