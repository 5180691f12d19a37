#include "app/list_file_reader.h"

#include <cstring>
#include <utility>

#include "platform/platform.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr int kEof = -1;
constexpr int kCtrlZ = 0x1A;
constexpr char kUtf16Mark[] = "\xFF\xFE";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

}  // namespace

ListFileReader::ListFileReader(Source read)
    : read_(std::move(read)), buffer_(kBufferSize) {}

void ListFileReader::ReadEncoding() {
  // The mark may arrive in pieces: its bytes are gathered first.
  while (filled_ < 3 && !ended_) {
    const std::size_t n = read_(buffer_.data() + filled_, buffer_.size() - filled_);
    if (n == 0) ended_ = true;
    filled_ += n;
  }
  encoding_ = Encoding::kAnsi;
  if (filled_ >= 2 && std::memcmp(buffer_.data(), kUtf16Mark, 2) == 0) {
    encoding_ = Encoding::kUtf16;
    position_ = 2;
  } else if (filled_ >= 3 && std::memcmp(buffer_.data(), kUtf8Mark, 3) == 0) {
    encoding_ = Encoding::kUtf8;
    position_ = 3;
  }
}

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

int ListFileReader::ReadUnit() {
  if (encoding_ != Encoding::kUtf16) return NextByte();
  const int low = NextByte();
  if (low == kEof) return kEof;
  const int high = NextByte();
  return high == kEof ? 0xFFFD : low | (high << 8);  // half a unit is no character
}

int ListFileReader::NextUnit() {
  if (!peeked_) return ReadUnit();
  peeked_ = false;
  return peeked_unit_;
}

int ListFileReader::PeekUnit() {
  if (!peeked_) {
    peeked_unit_ = ReadUnit();
    peeked_ = true;
  }
  return peeked_unit_;
}

void ListFileReader::End() {
  ended_ = true;
  peeked_ = false;
  filled_ = position_ = 0;
}

bool ListFileReader::ReadLine(std::string& line) {
  if (encoding_ == Encoding::kUnknown) ReadEncoding();
  line.clear();
  wide_.clear();
  const bool wide = encoding_ == Encoding::kUtf16;
  // Text lines are given in the ANSI code page once read whole.
  const auto done = [&](bool result) {
    if (encoding_ == Encoding::kUtf8) line = platform::Utf16ToAnsi(platform::Utf8ToUtf16(line));
    if (wide) line = platform::Utf16ToAnsi(wide_);
    return result;
  };
  bool started = false;  // a character of this line has been read
  for (;;) {
    const int c = NextUnit();
    if (c == kEof) return done(started);
    if (c == '\n') return done(true);
    if (c == kCtrlZ) {
      if (!started) {
        End();
        return false;
      }
      // The name ends here; the rest of the line is skipped, and a further
      // Ctrl-Z on it ends the file.
      for (;;) {
        const int skipped = NextUnit();
        if (skipped == kEof || skipped == '\n') return done(true);
        if (skipped == kCtrlZ) {
          End();
          return done(true);
        }
      }
    }
    started = true;
    if (c == '\r') {
      if (PeekUnit() == '\n') {
        NextUnit();
        return done(true);
      }
      continue;  // a lone CR is dropped
    }
    if (wide) {
      wide_.push_back(static_cast<char16_t>(c));
    } else {
      line.push_back(static_cast<char>(c));
    }
  }
}
