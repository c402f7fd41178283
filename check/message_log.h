// The text of a run's log, with a cap on the number of message lines it writes.
//
// A pathological model can produce billions of messages (every pair of 100,000 supports at one
// position). The counts always stay exact; only the first kMaxMessages message lines are
// written, and Finish adds one line saying how many more there were.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace spanlab {

class MessageLog {
 public:
  static constexpr int64_t kMaxMessages = 10000;

  explicit MessageLog(int64_t maxMessages = kMaxMessages) : maxMessages_(maxMessages) {}

  // One message line; "\r\n" is appended. Past the cap it is only counted.
  void AddMessage(std::string_view text) { AddMessages(text, 1); }
  // The same message `count` times.
  void AddMessages(std::string_view text, int64_t count);
  // Text that is always written (counts, progress lines); include the line ends.
  void AddText(std::string_view text) { text_.append(text); }
  // Writes "N more messages were not written." once, when messages were dropped.
  void FlushDropped();

  const std::string& Text() const { return text_; }
  int64_t Dropped() const { return dropped_; }

 private:
  std::string text_;
  int64_t maxMessages_;
  int64_t written_ = 0;
  int64_t dropped_ = 0;
  bool flushed_ = false;
};

}  // namespace spanlab
