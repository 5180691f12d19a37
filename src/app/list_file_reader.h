// Reads the names of a list file, one a line.
#ifndef TAVREL_APP_LIST_FILE_READER_H_
#define TAVREL_APP_LIST_FILE_READER_H_

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// A line ends at LF or CR LF; a CR not followed by LF is dropped.  A Ctrl-Z
// at the start of a line ends the file; inside a line it ends the name and
// the rest of the line is skipped.  Lines may be of any length.
//
// A file is ANSI bytes, unless it starts with a byte-order mark: then it is
// UTF-16LE (FF FE) or UTF-8 (EF BB BF) text, whose lines are read alike and
// given in the ANSI code page, a character it lacks lost (never a
// look-alike).
class ListFileReader {
 public:
  // `read` fills a buffer and returns the bytes read, 0 at the end;
  // failures it raises pass through.
  using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

  explicit ListFileReader(Source read);

  // The next line, without its line end; false at the end of the file.
  bool ReadLine(std::string& line);

 private:
  enum class Encoding { kUnknown, kAnsi, kUtf8, kUtf16 };

  // Reads the byte-order mark, if any.
  void ReadEncoding();
  // The next byte, or -1 at the end of the file.
  int NextByte();
  // The next byte without taking it.
  int PeekByte();
  // The next character unit (a byte, or a UTF-16 unit), or -1.
  int ReadUnit();
  // The same, after the one peeked at if any.
  int NextUnit();
  int PeekUnit();
  // Ends the file: nothing after it is read, ever.
  void End();

  Source read_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool ended_ = false;
  Encoding encoding_ = Encoding::kUnknown;
  bool peeked_ = false;
  int peeked_unit_ = 0;
  std::u16string wide_;  // a UTF-16 line
};

#endif  // TAVREL_APP_LIST_FILE_READER_H_
