// The text of a results record on its way to a stream, written a row at a time (the writers of
// results_export.h). Each row is written in place at the end of the record's text (room for the
// whole row is made once, and every piece is copied or formatted straight into it), and the text
// goes to the stream in pieces of about 64 KB. A stream insertion or a string append per field
// costs more than formatting the numbers, and a whole record of a large model held at once costs
// memory in proportion to the model.
#pragma once

#include <charconv>
#include <cmath>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "model/number_text.h"

namespace spanlab::record {

constexpr size_t kChunkBytes = 64 * 1024;

// The record's text on its way to the stream.
class RecordText {
 public:
  explicit RecordText(std::ostream& out) : out_(out) { text_.reserve(kChunkBytes + 4096); }
  ~RecordText() { Flush(); }

  // Hands what is written so far to the stream once it fills a chunk.
  void MaybeFlush() {
    if (text_.size() >= kChunkBytes) Flush();
  }
  void Flush() {
    out_.write(text_.data(), std::streamsize(text_.size()));
    text_.clear();
  }
  std::string& text() { return text_; }

 private:
  std::ostream& out_;
  std::string text_;
};

// One row written in place at the end of `text`: `room` characters are made for it, and the
// text is cut back to what was written when the row ends. The caller sizes `room` for the
// literals it writes plus kGeneralTextMax for each number.
class Row {
 public:
  Row(std::string& text, size_t room) : text_(text), start_(text.size()) {
    text_.resize(start_ + room);
    p_ = text_.data() + start_;
  }
  ~Row() { text_.resize(size_t(p_ - text_.data())); }
  Row(const Row&) = delete;
  Row& operator=(const Row&) = delete;

  Row& Put(std::string_view s) {
    if (s.empty()) return *this;  // (an empty view may hold no pointer, which memcpy must not get)
    std::memcpy(p_, s.data(), s.size());
    p_ += s.size();
    return *this;
  }
  Row& Put(char c) {
    *p_++ = c;
    return *this;
  }
  // 17 significant digits ("%.17g").
  Row& Number(double v) {
    p_ = WriteGeneral(p_, p_ + kGeneralTextMax, v, 17);
    return *this;
  }
  Row& JsonNumber(double v) { return std::isfinite(v) ? Number(v) : Put("null"); }
  // A value that is not a number (a solution that overflowed) is an empty cell, as a
  // spreadsheet writes a missing value.
  Row& CsvNumber(double v) { return std::isfinite(v) ? Number(v) : *this; }
  Row& Integer(long long v) {
    p_ = std::to_chars(p_, p_ + kGeneralTextMax, v).ptr;
    return *this;
  }

 private:
  std::string& text_;
  size_t start_;
  char* p_;
};

// Room for the literals of the longest row plus the numbers in it.
constexpr size_t RowRoom(size_t numbers) { return 160 + numbers * kGeneralTextMax; }

inline void AppendJsonString(std::string& out, const std::string& text) {
  out += '"';
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"')
      out += "\\\"";
    else if (c == '\\')
      out += "\\\\";
    else if (c < 0x20) {
      static const char* kHex = "0123456789abcdef";
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
}

}  // namespace spanlab::record
