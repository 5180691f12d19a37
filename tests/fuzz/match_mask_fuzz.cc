// The wildcard matcher.  Input: the mask, a NUL, the name.  Both texts sit
// in heap blocks of their exact size, so a read past either end is caught.
//
// Properties, for names as a folder listing gives them (no wildcard): a
// mask without a wildcard matches its own bytes only; a "?" after a star
// matches nothing; the empty name matches only the empty mask.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "fuzz_check.h"
#include "scan/match_mask.h"

namespace {

std::unique_ptr<char[]> Block(std::string_view text) {
  std::unique_ptr<char[]> block(new char[text.size()]);
  if (!text.empty()) std::memcpy(block.get(), text.data(), text.size());
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find('\0');
  const std::string_view mask_in = input.substr(0, cut);
  const std::string_view name_in = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);
  const auto mask_block = Block(mask_in), name_block = Block(name_in);
  const std::string_view mask(mask_block.get(), mask_in.size());
  const std::string_view name(name_block.get(), name_in.size());

  const bool match = MatchMask(name, mask);
  if (name.find_first_of("*?") != std::string_view::npos) return 0;
  const std::size_t star = mask.find('*');
  if (mask.find_first_of("*?") == std::string_view::npos) FUZZ_CHECK(match == (name == mask));
  if (star != std::string_view::npos && mask.find('?', star) != std::string_view::npos) FUZZ_CHECK(!match);
  if (name.empty()) FUZZ_CHECK(match == mask.empty());
  return 0;
}
