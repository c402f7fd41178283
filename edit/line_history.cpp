#include "edit/line_history.h"

#include "model/sections.h"

namespace spanlab {

size_t LineHistory::SizeOf(const std::vector<std::string>& lines) {
  size_t bytes = sizeof(State);
  for (const std::string& line : lines) bytes += line.size() + sizeof(std::string);
  return bytes;
}

void LineHistory::Reset(const std::vector<std::string>& lines, bool saved) {
  states_.clear();
  states_.push_back(State{"", "", "", lines, SizeOf(lines)});
  bytes_ = states_.back().bytes;
  current_ = 0;
  saved_ = 0;
  savedValid_ = saved;
  lastAffected_.clear();
}

void LineHistory::Record(const std::string& step, const std::vector<std::string>& lines,
                         const std::string& before, const std::string& after) {
  while (states_.size() > current_ + 1) {  // the redo steps go
    bytes_ -= states_.back().bytes;
    states_.pop_back();
  }
  if (savedValid_ && saved_ > current_) savedValid_ = false;
  states_.push_back(State{step, before, after, lines, SizeOf(lines)});
  bytes_ += states_.back().bytes;
  current_ = states_.size() - 1;
  while (bytes_ > kMaxBytes && states_.size() > 2) DropOldest();
}

void LineHistory::DropOldest() {
  bytes_ -= states_.front().bytes;
  states_.erase(states_.begin());
  --current_;
  if (saved_ == 0) savedValid_ = false;  // the saved state is no longer reachable
  else --saved_;
}

const std::vector<std::string>& LineHistory::Undo() {
  lastAffected_ = states_[current_].before;
  --current_;
  return states_[current_].lines;
}

const std::vector<std::string>& LineHistory::Redo() {
  ++current_;
  lastAffected_ = states_[current_].after;
  return states_[current_].lines;
}

std::string EditStepName(const char* action, int section) {
  const SectionRecord& s = SectionById(section);
  // The whole-section dialogs only ever edit.
  if (s.dialog != SectionDialog::kItemLine) return std::string("Edit ") + s.stepName;
  return std::string(action) + " " + s.stepName;
}

}  // namespace spanlab
