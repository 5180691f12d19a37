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
class ListFileReader {
 public:
  // `read` fills a buffer and returns the bytes read, 0 at the end;
  // failures it raises pass through.
  using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

  explicit ListFileReader(Source read);

  // The next line, without its line end; false at the end of the file.
  bool ReadLine(std::string& line);

 private:
  // The next byte, or -1 at the end of the file.
  int NextByte();
  // The next byte without taking it.
  int PeekByte();

  Source read_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool ended_ = false;
};

#endif  // TAVREL_APP_LIST_FILE_READER_H_
