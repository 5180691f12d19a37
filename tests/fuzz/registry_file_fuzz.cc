// The stand-in's .reg reader.  Input: the file.
//
// Properties: every key is "<root 0 to 6>\<path>" in folded letter case and
// comes with its parents; a key under the machine's or the user's
// software\classes is also one of HKEY_CLASSES_ROOT, and HKEY_CURRENT_CONFIG
// is the machine's current hardware profile both ways; after the header the
// lines count one by one (the keys of the file are those of its lines
// read alone); a file without a header gives nothing; the same text saved
// as UTF-16 gives the same keys.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz_check.h"
#include "platform/posix_internal.h"

namespace {

using platform::standin::ParseRegistryFile;

const char kHeader[] = "REGEDIT4\n";

// A key under `from` is also one under `to`.
struct Mirror {
  const char* from;
  const char* to;
};
const char kProfile[] = "2\\system\\currentcontrolset\\hardware profiles\\current\\";
const Mirror kMirrors[] = {
    {"2\\software\\classes\\", "0\\"},
    {"1\\software\\classes\\", "0\\"},
    {kProfile, "5\\"},
    {"5\\", kProfile},
};

void CheckKeys(const std::set<std::string>& keys) {
  for (const std::string& key : keys) {
    FUZZ_CHECK(key.size() >= 2 && key[0] >= '0' && key[0] <= '6' && key[1] == '\\');
    for (char c : key)
      FUZZ_CHECK(platform::standin::FoldAnsi(static_cast<unsigned char>(c)) == static_cast<unsigned char>(c));
    const std::size_t parent = key.rfind('\\');
    if (parent > 1) FUZZ_CHECK(keys.count(key.substr(0, parent)) == 1);
    for (const Mirror& mirror : kMirrors) {
      const std::string from = mirror.from;
      if (key.size() > from.size() && key.compare(0, from.size(), from) == 0)
        FUZZ_CHECK(keys.count(mirror.to + key.substr(from.size())) == 1);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const std::set<std::string> keys = ParseRegistryFile(raw);
  CheckKeys(keys);
  if (raw.compare(0, 2, "\xFF\xFE") == 0) return 0;

  const std::set<std::string> with_header = ParseRegistryFile(kHeader + raw);
  CheckKeys(with_header);
  FUZZ_CHECK(keys.empty() || keys == with_header);
  std::set<std::string> by_line;
  for (std::size_t start = 0; start <= raw.size();) {
    std::size_t end = raw.find('\n', start);
    if (end == std::string::npos) end = raw.size();
    const std::set<std::string> line_keys = ParseRegistryFile(kHeader + raw.substr(start, end - start));
    by_line.insert(line_keys.begin(), line_keys.end());
    start = end + 1;
  }
  FUZZ_CHECK(by_line == with_header);

  std::string wide = "\xFF\xFE";
  for (char c : raw) {
    wide += c;
    wide += '\0';
  }
  FUZZ_CHECK(ParseRegistryFile(wide) == keys);
  return 0;
}
