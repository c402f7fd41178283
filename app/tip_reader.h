// The tip of the day without its window: reads one tip after another from the tips file, in a
// circle, and keeps in the settings section "Tip" where the reading stopped ("FilePos"), which
// version of the file that position belongs to ("TimeStamp") and whether the tips show at
// start-up ("StartUp": 0 = show, 1 = do not).
//
// The tips file is plain text, one tip a line. Lines whose first character is a blank, a tab,
// a carriage return, a line feed (empty lines) or ";" (comments) are skipped; every other line
// is a tip. A line longer than 999 characters is read as several tips of at most 999.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_access.h"
#include "platform/settings.h"

namespace spanlab {

inline constexpr char kTipsFileName[] = "spanlab.tip";
inline constexpr char kTipsFileMissing[] = "Tips file does not exist in the prescribed directory";
inline constexpr char kTipsFileTrouble[] = "Trouble reading the tips file";

// The path of "spanlab.tip" in the first of `folders` that holds it as a regular file, searched
// in order ("" and "." both mean the current folder, which gives the plain name). The program
// passes the current folder, its own folder and its installed data folder. "" when none does.
std::string FindTipsFile(const std::vector<std::string>& folders);

// The file's last-modification time in local time as the C runtime's ctime text without the
// trailing line feed ("Wed Jun 30 21:49:08 1993"); "" when the file cannot be examined.
std::string FileTimeText(const std::string& path);

class TipReader {
 public:
  // A larger tips file counts as unreadable.
  static constexpr size_t kMaxFileBytes = size_t{1} << 20;
  static constexpr size_t kMaxTipChars = 999;

  // Reads the settings, then the whole file at `path` through `files`. When the file cannot be
  // read, Tip() is kTipsFileMissing and the reader stays closed. Otherwise, if `timeText` (the
  // file's FileTimeText) differs from "TimeStamp", it is stored as the new "TimeStamp" and the
  // reading starts at the top; else it starts at "FilePos". The first tip is read at once.
  // `settings` and `files` must outlive the reader.
  TipReader(SettingsStore& settings, FileAccess& files, const std::string& path,
            const std::string& timeText);
  // Stores the position (StorePosition).
  ~TipReader();
  TipReader(const TipReader&) = delete;
  TipReader& operator=(const TipReader&) = delete;

  // True when the tips file was read; "Next Tip" is offered only then.
  bool IsOpen() const { return m_bOpen; }
  // The initial state of "Show Tips on StartUp": true when "StartUp" is 0.
  bool Startup() const { return m_bStartup; }
  // The tip shown: without its line end; kTipsFileMissing when the file could not be read.
  const std::string& Tip() const { return m_strTip; }
  // kTipsFileTrouble when the stored position could not be used (the tip is then empty and
  // the reading goes on from the top); "" otherwise. The window shows it in a message box.
  const std::string& Trouble() const { return m_strTrouble; }
  // Byte offset where the next reading starts: the line after the tip last shown.
  size_t Offset() const { return m_offset; }

  // Reads the next tip, going round to the top at the end of the file. A file with no tip
  // line at all gives "" after one pass. A closed reader gives "".
  std::string GetNextTipString();
  // "Next Tip": Tip() becomes the next tip.
  void NextTip() { m_strTip = GetNextTipString(); }
  // "Close": stores "StartUp" = 0 when the box is checked and 1 when it is not. Closing the
  // window any other way stores nothing.
  void Close(bool showAtStartup);
  // Stores Offset() as "FilePos" when the file is open; a closed reader stores nothing.
  void StorePosition();

 private:
  // The next piece of at most kMaxTipChars bytes from m_offset, ending after a line feed.
  std::string_view ReadLine();

  SettingsStore& m_settings;
  std::string m_bytes;  // the whole tips file
  size_t m_offset = 0;
  bool m_bOpen = false;
  bool m_bStartup = true;
  std::string m_strTip;
  std::string m_strTrouble;
};

}  // namespace spanlab
