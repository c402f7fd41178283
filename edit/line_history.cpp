// A step stores hunks, never whole line lists: undoing walks the hunks backwards and swaps the
// roles of their removed and inserted lines. Each hunk is checked against the list before it
// is made, so a history that no longer matches the lines refuses instead of corrupting them.
#include "edit/line_history.h"

#include <algorithm>

#include "model/sections.h"

namespace spanlab {

namespace {

// Whether `lines` hold `expected` from index `at` on.
bool HoldsAt(const std::vector<std::string>& lines, size_t at,
             const std::vector<std::string>& expected) {
  if (at > lines.size() || lines.size() - at < expected.size()) return false;
  return std::equal(expected.begin(), expected.end(), lines.begin() + static_cast<ptrdiff_t>(at));
}

// Replaces `out` (found at `at`) with `in`; the caller has checked that `out` is there.
void Replace(std::vector<std::string>& lines, size_t at, const std::vector<std::string>& out,
             const std::vector<std::string>& in) {
  const auto first = lines.begin() + static_cast<ptrdiff_t>(at);
  const size_t common = std::min(out.size(), in.size());
  std::copy(in.begin(), in.begin() + static_cast<ptrdiff_t>(common), first);
  if (out.size() > common) {
    lines.erase(first + static_cast<ptrdiff_t>(common), first + static_cast<ptrdiff_t>(out.size()));
  } else {
    lines.insert(first + static_cast<ptrdiff_t>(common), in.begin() + static_cast<ptrdiff_t>(common),
                 in.end());
  }
}

}  // namespace

bool ApplyChange(const LineChange& change, std::vector<std::string>& lines) {
  for (size_t i = 0; i < change.size(); ++i) {
    const LineHunk& h = change[i];
    if (!HoldsAt(lines, h.at, h.removed)) {
      while (i-- > 0) Replace(lines, change[i].at, change[i].inserted, change[i].removed);
      return false;
    }
    Replace(lines, h.at, h.removed, h.inserted);
  }
  return true;
}

bool RevertChange(const LineChange& change, std::vector<std::string>& lines) {
  for (size_t i = change.size(); i-- > 0;) {
    const LineHunk& h = change[i];
    if (!HoldsAt(lines, h.at, h.inserted)) {
      for (++i; i < change.size(); ++i) {
        Replace(lines, change[i].at, change[i].removed, change[i].inserted);
      }
      return false;
    }
    Replace(lines, h.at, h.inserted, h.removed);
  }
  return true;
}

LineChange DiffLines(const std::vector<std::string>& before,
                     const std::vector<std::string>& after) {
  const size_t shorter = std::min(before.size(), after.size());
  size_t head = 0;
  while (head < shorter && before[head] == after[head]) ++head;
  size_t tail = 0;
  while (tail < shorter - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
    ++tail;
  }
  if (head + tail == before.size() && head + tail == after.size()) return {};
  LineHunk hunk;
  hunk.at = head;
  hunk.removed.assign(before.begin() + static_cast<ptrdiff_t>(head),
                      before.end() - static_cast<ptrdiff_t>(tail));
  hunk.inserted.assign(after.begin() + static_cast<ptrdiff_t>(head),
                       after.end() - static_cast<ptrdiff_t>(tail));
  return {std::move(hunk)};
}

size_t LineHistory::SizeOf(const Step& step) {
  size_t bytes = sizeof(Step) + step.name.size() + step.before.size() + step.after.size();
  for (const LineHunk& h : step.change) {
    bytes += sizeof(LineHunk);
    for (const auto* lines : {&h.removed, &h.inserted}) {
      for (const std::string& line : *lines) bytes += sizeof(std::string) + line.capacity();
    }
  }
  return bytes;
}

void LineHistory::Reset(bool saved) {
  steps_.clear();
  bytes_ = 0;
  current_ = 0;
  saved_ = 0;
  savedValid_ = saved;
  lastAffected_.clear();
}

size_t LineHistory::Record(const std::string& step, LineChange change, const std::string& before,
                           const std::string& after) {
  while (steps_.size() > current_) {  // the redo steps go
    bytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  if (savedValid_ && saved_ > current_) savedValid_ = false;
  steps_.push_back(Step{step, before, after, std::move(change), 0});
  steps_.back().bytes = SizeOf(steps_.back());
  bytes_ += steps_.back().bytes;
  current_ = steps_.size();
  size_t dropped = 0;
  while (bytes_ > maxBytes_ && steps_.size() > 1) {
    DropOldest();
    ++dropped;
  }
  return dropped;
}

void LineHistory::DropOldest() {
  bytes_ -= steps_.front().bytes;
  steps_.erase(steps_.begin());
  --current_;
  if (saved_ == 0) savedValid_ = false;  // the saved state is no longer reachable
  else --saved_;
}

bool LineHistory::Undo(std::vector<std::string>& lines) {
  const Step& step = steps_[current_ - 1];
  if (!RevertChange(step.change, lines)) return false;
  lastAffected_ = step.before;
  --current_;
  return true;
}

bool LineHistory::Redo(std::vector<std::string>& lines) {
  const Step& step = steps_[current_];
  if (!ApplyChange(step.change, lines)) return false;
  lastAffected_ = step.after;
  ++current_;
  return true;
}

std::string EditStepName(const char* action, int section) {
  const SectionRecord& s = SectionById(section);
  // The whole-section dialogs only ever edit.
  if (s.dialog == SectionDialog::kDescription || s.dialog == SectionDialog::kUnits) {
    return std::string("Edit ") + s.stepName;
  }
  return std::string(action) + " " + s.stepName;
}

}  // namespace spanlab
