#include "check/message_log.h"

#include <algorithm>

namespace spanlab {

void MessageLog::AddMessages(std::string_view text, int64_t count) {
  if (count <= 0) return;
  const int64_t room = std::max<int64_t>(0, maxMessages_ - written_);
  const int64_t write = std::min(room, count);
  for (int64_t i = 0; i < write; ++i) {
    text_.append(text);
    text_.append("\r\n");
  }
  written_ += write;
  dropped_ += count - write;
}

void MessageLog::FlushDropped() {
  if (dropped_ == 0 || flushed_) return;
  flushed_ = true;
  text_.append(std::to_string(dropped_) + " more messages were not written.\r\n");
}

}  // namespace spanlab
