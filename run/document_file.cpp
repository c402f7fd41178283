// Loading and storing the document.
//
// Text lines (the header of a current-format file and every line of an older-version file)
// are read byte by byte: a line feed ends a line, carriage returns are ignored, and a line may
// hold at most 80 characters. Past that the user is asked once whether to truncate the line
// (Yes) or cancel the load (No); a preview document cancels without asking. Lines beginning
// with "Message:" are skipped and have no length limit.
//
// The whole file is parsed before the document changes, so a damaged or cancelled file leaves
// the model that was open untouched.
#include <algorithm>

#include "model/model_file.h"
#include "model/old_format.h"
#include "run/document.h"

namespace spanlab {

namespace {
constexpr size_t kMaxTextLine = 80;
constexpr std::string_view kMessagePrefix = "Message:";

bool IsMessageLine(const std::string& line) { return line.rfind(kMessagePrefix, 0) == 0; }
}  // namespace

CSPLX_30Doc::ReadResult CSPLX_30Doc::ReadLine(ByteStream& stream, std::string& line) {
  // A loop rather than a recursion: a file of a million "Message:" lines must not exhaust
  // the stack.
  bool replacingMessage = false;
  for (;;) {
    m_bReadCancelled = 0;
    bool truncating = false;
    line.clear();
    ++m_nLineNumber;
    bool endedByLineFeed = false;
    uint8_t byte = 0;
    while (stream.ReadByte(byte)) {
      if (byte == '\n') {
        endedByLineFeed = true;
        break;
      }
      if (byte == '\r') continue;
      if (line.size() < kMaxTextLine || IsMessageLine(line)) {
        line.push_back(static_cast<char>(byte));
        continue;
      }
      if (truncating) continue;
      const bool truncate =
          m_bInteractive && m_pPrompter &&
          m_pPrompter->AskYesNo("Line number " + std::to_string(m_nLineNumber) +
                                    " has more than 80 characters. Characters over 80 will be "
                                    "truncated. Continue? Press F1 for help.",
                                kLongLineHelpContext);
      if (!truncate) {
        m_bReadCancelled = 1;
        return kStop;
      }
      truncating = true;
    }
    // A line read in place of a "Message:" line counts as complete even at the end of the file
    // (a cancelled read above stays cancelled).
    if (!endedByLineFeed) return replacingMessage ? kLineComplete : kStop;
    if (!IsMessageLine(line)) return kLineComplete;
    replacingMessage = true;  // drop it and read the next line in its place
  }
}

bool CSPLX_30Doc::ConvertOldFile(ByteStream& stream, const std::string& first,
                                 std::vector<std::string>& lines) {
  std::vector<std::string> text;
  // The first line, the rest, and the empty line the read gives after a final line feed.
  text.reserve(std::min(CountTextLines(stream.Rest()) + 2, kMaxModelLines + 2));
  text.push_back(first);
  m_nLineNumber = 1;
  std::string line;
  for (;;) {
    const ReadResult result = ReadLine(stream, line);
    if (m_bReadCancelled) {
      lines.clear();
      return false;
    }
    text.push_back(line);
    if (result == kStop) break;
  }
  lines = ConvertOldLines(text);
  return true;
}

Status CSPLX_30Doc::LoadDocument(const std::string& bytes, const std::string& path) {
  ByteStream stream(bytes);
  std::vector<std::string> lines;
  m_nLineNumber = 0;
  std::string first;
  const ReadResult result = ReadLine(stream, first);
  bool converted = false;
  if (result == kLineComplete && first == kModelFileHeader) {
    const Status status = ReadModelLines(stream, lines);
    if (!status.ok()) return Status::Error("Cannot open '" + path + "'. " + status.message());
  } else {
    if (m_bReadCancelled) {
      return Status::Error("Opening '" + path + "' was cancelled: line " +
                           std::to_string(m_nLineNumber) + " has more than 80 characters.");
    }
    // An older-version text file. A preview converts nothing and shows an empty beam.
    if (m_bInteractive) {
      const size_t count = CountTextLines(bytes);
      if (count > kMaxModelLines) {
        return Status::Error("Cannot open '" + path + "'. " + TooManyLinesMessage(count));
      }
      if (!ConvertOldFile(stream, first, lines)) {
        return Status::Error("Opening '" + path + "' was cancelled: line " +
                             std::to_string(m_nLineNumber) + " has more than 80 characters.");
      }
      if (m_pPrompter) m_pPrompter->Notify(kConversionNotice);
    }
    converted = true;
  }
  DeleteContents();
  m_lines = std::move(lines);
  m_bConverted = converted ? 1 : 0;
  // The run and the views follow in OnOpenDocument, once the file's bytes are gone.
  return Status::Ok();
}

std::string CSPLX_30Doc::StoreDocument() const { return WriteModelFile(m_lines); }

Status CSPLX_30Doc::CheckStorable() const {
  if (m_lines.size() > kMaxModelLines) return Status::Error(TooManyLinesMessage(m_lines.size()));
  return Status::Ok();
}

}  // namespace spanlab
