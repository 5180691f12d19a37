// The stand-in's protection catalogue reader.  Input: the catalogue.
//
// Properties: every item is a line of the catalogue (one trailing CR
// dropped) in folded letter case, neither blank nor a ";" comment; the
// lines count one by one; the letter case of the file does not matter.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "fuzz_check.h"
#include "platform/platform.h"
#include "platform/posix_internal.h"

namespace {

using Items = std::unordered_set<std::string>;
using platform::standin::ParseCatalogue;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const Items items = ParseCatalogue(text);

  Items by_line;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const Items line_items = ParseCatalogue(line);
    FUZZ_CHECK(line_items.size() <= 1);
    for (const std::string& item : line_items) {
      FUZZ_CHECK(!item.empty() && item[0] != ';');
      FUZZ_CHECK(item.find_first_not_of(" \t") != std::string::npos);
      FUZZ_CHECK(item.size() == line.size() - (line.back() == '\r' ? 1 : 0));
      for (std::size_t i = 0; i < item.size(); ++i)
        FUZZ_CHECK(static_cast<unsigned char>(item[i]) ==
                   platform::standin::FoldAnsi(static_cast<unsigned char>(line[i])));
    }
    by_line.insert(line_items.begin(), line_items.end());
    start = end + 1;
  }
  FUZZ_CHECK(by_line == items);

  std::string upper = text;
  if (!upper.empty()) platform::UpperCase(&upper[0], upper.size());
  FUZZ_CHECK(ParseCatalogue(upper) == items);
  return 0;
}
