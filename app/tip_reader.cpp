// The tips file is small, so it is read whole and worked on in memory; the "file position" is
// a byte offset into those bytes. Reading follows the C runtime's line reading into a buffer
// of 1000 bytes: a piece ends after its line feed or after 999 bytes, whichever comes first,
// so the rest of a longer line is the next piece. The offset kept in the settings is the start
// of the piece after the tip last shown, which is where the next showing goes on.
//
// A file without any tip line must not make the reader go round forever: reaching the end of
// the file a second time within one reading means that a whole pass found nothing.
#include "app/tip_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <ctime>

namespace spanlab {

namespace {

constexpr char kSection[] = "Tip";

bool IsSkipped(char first) {
  return first == ' ' || first == '\t' || first == '\r' || first == '\n' || first == ';';
}

// The tip without its line end (LF or CRLF).
std::string TipText(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return std::string(line);
}

}  // namespace

std::string FindTipsFile(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    std::string path = kTipsFileName;
    if (!folder.empty() && folder != ".") {
      path = folder + (folder.back() == '/' ? "" : "/") + kTipsFileName;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return path;
  }
  return {};
}

std::string FileTimeText(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  char text[64] = {};  // ctime_r needs 26
  if (::ctime_r(&st.st_mtime, text) == nullptr) return {};
  std::string result = text;
  if (!result.empty() && result.back() == '\n') result.pop_back();
  return result;
}

TipReader::TipReader(SettingsStore& settings, FileAccess& files, const std::string& path,
                     const std::string& timeText)
    : m_settings(settings) {
  m_bStartup = settings.GetInt(kSection, "StartUp", 0) == 0;
  int start = settings.GetInt(kSection, "FilePos", 0);
  if (path.empty() || !files.ReadFile(path, m_bytes, kMaxFileBytes).ok()) {
    m_bytes.clear();
    m_strTip = kTipsFileMissing;
    return;
  }
  m_bOpen = true;
  if (timeText != settings.GetString(kSection, "TimeStamp", "")) {
    // A replaced file: the stored position belongs to the old one.
    settings.SetString(kSection, "TimeStamp", timeText);
    start = 0;
  }
  if (start < 0) {
    m_strTrouble = kTipsFileTrouble;
    return;
  }
  m_offset = static_cast<size_t>(start);
  m_strTip = GetNextTipString();
}

TipReader::~TipReader() { StorePosition(); }

std::string_view TipReader::ReadLine() {
  const char* begin = m_bytes.data() + m_offset;
  const size_t limit = std::min(m_bytes.size() - m_offset, kMaxTipChars);
  const auto* lineFeed = static_cast<const char*>(std::memchr(begin, '\n', limit));
  const size_t length = lineFeed ? static_cast<size_t>(lineFeed - begin) + 1 : limit;
  const std::string_view line(begin, length);
  m_offset += length;
  return line;
}

std::string TipReader::GetNextTipString() {
  if (!m_bOpen) return {};
  int endsReached = 0;
  for (;;) {
    if (m_offset >= m_bytes.size()) {
      // Also a stored position beyond the end of a file that has become shorter.
      m_offset = 0;
      if (++endsReached == 2) return {};
      continue;
    }
    const std::string_view line = ReadLine();
    if (!IsSkipped(line.front())) return TipText(line);
  }
}

void TipReader::Close(bool showAtStartup) {
  m_settings.SetInt(kSection, "StartUp", showAtStartup ? 0 : 1);
}

void TipReader::StorePosition() {
  if (m_bOpen) m_settings.SetInt(kSection, "FilePos", static_cast<int>(m_offset));
}

}  // namespace spanlab
