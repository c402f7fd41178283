// The bytes of a current-format model file (version 3.0).
//
// Layout (integers little-endian):
//   27 bytes  "Spanlab File Version = 3.0" and one line feed
//   2 bytes   line count N; when N >= 0xFFFF these are FF FF and a 4-byte count follows
//   N times   a length prefix and that many bytes of text, no terminator
// Length prefix, written: one byte up to 254; else FF and a 2-byte length up to 0xFFFD; else
// FF FF FF and a 4-byte length. Read: the same forms, plus FF FE FF which marks a string of
// 2-byte characters whose own length prefix (in characters) follows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace spanlab {

inline constexpr std::string_view kModelFileHeader = "Spanlab File Version = 3.0";

// The most lines a model may have. A million-span model (a support and a load a span) has two
// million; twice that bounds the memory a file of very short lines can take (each line costs
// a string, 32 bytes, however short it is) without refusing any model of sensible size.
inline constexpr size_t kMaxModelLines = 4'000'000;

// The message for a model of `count` lines, more than kMaxModelLines.
std::string TooManyLinesMessage(size_t count);

// The number of lines of a text file: one for each line feed, and one for a last line that
// has none. A line feed ends a line and does not start one, so "a\nb\n" and "a\nb" both
// have two lines, and an empty text none. Every reader of text lines counts with this.
size_t CountTextLines(std::string_view text);

// The complete file for these lines.
std::string WriteModelFile(const std::vector<std::string>& lines);

// Whether the bytes read from `path` are to be opened as a model file (not a text file of
// lines): they start with the header line, or the name ends in ".spn".
bool LooksLikeModelFile(const std::string& path, const std::string& bytes);

// Sequential reading of bytes held in memory. Every read fails, without moving, when the data
// ends too soon.
class ByteStream {
 public:
  explicit ByteStream(std::string_view data) : data_(data) {}
  bool ReadByte(uint8_t& value);
  bool ReadU16(uint16_t& value);
  bool ReadU32(uint32_t& value);
  bool ReadBytes(size_t count, std::string& out);
  size_t Remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ == data_.size(); }
  std::string_view Rest() const { return data_.substr(pos_); }

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

// Reads the line count and the lines that follow the header. Fails with a message on a
// truncated or damaged list; a count or length larger than the bytes left, or a count above
// kMaxModelLines, is refused before anything is allocated for it. 2-byte characters above 0xFF
// become "?".
Status ReadModelLines(ByteStream& stream, std::vector<std::string>& lines);

}  // namespace spanlab
