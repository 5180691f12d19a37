#include "app/list_file_reader.h"

#include <utility>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr int kEof = -1;
constexpr int kCtrlZ = 0x1A;

}  // namespace

ListFileReader::ListFileReader(Source read)
    : read_(std::move(read)), buffer_(kBufferSize) {}

int ListFileReader::PeekByte() {
  if (position_ == filled_) {
    if (ended_) return kEof;
    filled_ = read_(buffer_.data(), buffer_.size());
    position_ = 0;
    if (filled_ == 0) {
      ended_ = true;
      return kEof;
    }
  }
  return static_cast<unsigned char>(buffer_[position_]);
}

int ListFileReader::NextByte() {
  const int c = PeekByte();
  if (c != kEof) ++position_;
  return c;
}

bool ListFileReader::ReadLine(std::string& line) {
  line.clear();
  bool started = false;  // a byte of this line has been read
  for (;;) {
    const int c = NextByte();
    if (c == kEof) return started;
    if (c == '\n') return true;
    if (c == kCtrlZ) {
      if (!started) {
        // End of file: nothing after it is read, ever.
        ended_ = true;
        filled_ = position_ = 0;
        return false;
      }
      // The name ends here; the rest of the line is skipped, and a further
      // Ctrl-Z on it ends the file.
      for (;;) {
        const int skipped = NextByte();
        if (skipped == kEof || skipped == '\n') return true;
        if (skipped == kCtrlZ) {
          ended_ = true;
          filled_ = position_ = 0;
          return true;
        }
      }
    }
    started = true;
    if (c == '\r') {
      if (PeekByte() == '\n') {
        NextByte();
        return true;
      }
      continue;  // a lone CR is dropped
    }
    line.push_back(static_cast<char>(c));
  }
}
