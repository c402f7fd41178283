#include "model/model_file.h"

#include <algorithm>

namespace spanlab {

namespace {

void PutU16(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutU32(std::string& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

void PutLength(std::string& out, size_t length) {
  if (length < 0xFF) {
    out.push_back(static_cast<char>(length));
  } else if (length < 0xFFFE) {
    out.push_back(static_cast<char>(0xFF));
    PutU16(out, static_cast<uint32_t>(length));
  } else {
    out.push_back(static_cast<char>(0xFF));
    PutU16(out, 0xFFFF);
    PutU32(out, static_cast<uint32_t>(length));
  }
}

// Reads a length prefix. `wide` is set for the 2-byte-character form (FF FE FF + length).
bool ReadLength(ByteStream& s, uint32_t& length, bool& wide) {
  wide = false;
  uint8_t b = 0;
  if (!s.ReadByte(b)) return false;
  if (b < 0xFF) {
    length = b;
    return true;
  }
  uint16_t w = 0;
  if (!s.ReadU16(w)) return false;
  if (w == 0xFFFE) {
    // A 2-byte-character string: its character count follows as an ordinary prefix.
    uint8_t mark = 0;
    if (!s.ReadByte(mark)) return false;
    if (mark < 0xFF) {
      length = mark;
    } else {
      if (!s.ReadU16(w)) return false;
      if (w == 0xFFFF) {
        if (!s.ReadU32(length)) return false;
      } else {
        length = w;
      }
    }
    wide = true;
    return true;
  }
  if (w < 0xFFFF) {
    length = w;
    return true;
  }
  return s.ReadU32(length);
}

}  // namespace

std::string TooManyLinesMessage(size_t count) {
  return "The model has " + std::to_string(count) + " lines; a model may have at most " +
         std::to_string(kMaxModelLines) + ".";
}

size_t CountTextLines(std::string_view text) {
  size_t count = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  if (!text.empty() && text.back() != '\n') ++count;
  return count;
}

std::string WriteModelFile(const std::vector<std::string>& lines) {
  size_t size = kModelFileHeader.size() + 1 + 6;
  for (const std::string& line : lines) size += line.size() + 7;
  std::string out;
  out.reserve(size);
  out.append(kModelFileHeader);
  out.push_back('\n');
  if (lines.size() < 0xFFFF) {
    PutU16(out, static_cast<uint32_t>(lines.size()));
  } else {
    PutU16(out, 0xFFFF);
    PutU32(out, static_cast<uint32_t>(lines.size()));
  }
  for (const std::string& line : lines) {
    PutLength(out, line.size());
    out.append(line);
  }
  return out;
}

bool ByteStream::ReadByte(uint8_t& value) {
  if (pos_ >= data_.size()) return false;
  value = static_cast<uint8_t>(data_[pos_++]);
  return true;
}

bool ByteStream::ReadU16(uint16_t& value) {
  if (Remaining() < 2) return false;
  value = static_cast<uint16_t>(static_cast<uint8_t>(data_[pos_]) |
                                (static_cast<uint8_t>(data_[pos_ + 1]) << 8));
  pos_ += 2;
  return true;
}

bool ByteStream::ReadU32(uint32_t& value) {
  if (Remaining() < 4) return false;
  value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(data_[pos_ + i]);
  pos_ += 4;
  return true;
}

bool ByteStream::ReadBytes(size_t count, std::string& out) {
  if (Remaining() < count) return false;
  out.assign(data_.substr(pos_, count));
  pos_ += count;
  return true;
}

Status ReadModelLines(ByteStream& stream, std::vector<std::string>& lines) {
  const auto truncated = [&lines](const std::string& what) {
    lines.clear();
    return Status::Error("The model file is damaged: " + what);
  };
  uint16_t shortCount = 0;
  if (!stream.ReadU16(shortCount)) return truncated("it ends before its line count.");
  uint32_t count = shortCount;
  if (shortCount == 0xFFFF && !stream.ReadU32(count)) {
    return truncated("it ends before its line count.");
  }
  // Every line takes at least its one-byte length prefix.
  if (count > stream.Remaining()) {
    return truncated("it claims " + std::to_string(count) + " lines but holds only " +
                     std::to_string(stream.Remaining()) + " more bytes.");
  }
  if (count > kMaxModelLines) {
    lines.clear();
    return Status::Error(TooManyLinesMessage(count));
  }
  lines.clear();
  lines.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t length = 0;
    bool wide = false;
    std::string text;
    const auto cutShort = [&truncated, i, count] {
      return truncated("line " + std::to_string(i + 1) + " of " + std::to_string(count) +
                       " is cut short.");
    };
    if (!ReadLength(stream, length, wide)) return cutShort();
    const size_t bytes = wide ? size_t{2} * length : length;
    if (!stream.ReadBytes(bytes, text)) return cutShort();
    if (wide) {
      std::string narrow(length, '?');
      for (uint32_t c = 0; c < length; ++c) {
        const unsigned code = static_cast<uint8_t>(text[2 * c]) |
                              (static_cast<uint8_t>(text[2 * c + 1]) << 8);
        if (code <= 0xFF) narrow[c] = static_cast<char>(code);
      }
      text.swap(narrow);
    }
    lines.push_back(std::move(text));
  }
  return Status::Ok();
}

bool LooksLikeModelFile(const std::string& path, const std::string& bytes) {
  const std::string header = std::string(kModelFileHeader) + "\n";
  if (bytes.compare(0, header.size(), header) == 0) return true;
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".spn") == 0;
}

}  // namespace spanlab
