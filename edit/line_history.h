// The history of a model's line list, for undo and redo. Every change made through the editor
// is one step with a name ("Add Point Load"); a step keeps only the change it made (the lines it
// removed and inserted, and where), so its memory is in proportion to the change, not to the
// model. The history drops its oldest steps only when it would hold more than its byte limit,
// and says how many it dropped, so that the window can tell the user.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace spanlab {

// One contiguous replacement in a line list: at index `at`, the lines `removed` were taken out
// and `inserted` put in their place.
struct LineHunk {
  size_t at = 0;
  std::vector<std::string> removed;
  std::vector<std::string> inserted;

  bool operator==(const LineHunk&) const = default;
};

// A change of a line list: its hunks in the order they were made; each hunk's `at` counts in
// the list as the hunks before it left it.
using LineChange = std::vector<LineHunk>;

// Makes `change` on `lines` (forward) or takes it back (RevertChange). Returns false, with
// `lines` as they were, when they do not hold the removed (forward) or inserted (back) lines
// where the change says.
bool ApplyChange(const LineChange& change, std::vector<std::string>& lines);
bool RevertChange(const LineChange& change, std::vector<std::string>& lines);

// The change from `before` to `after` as at most one hunk: the lines both start and end with
// are kept, the rest is replaced.
LineChange DiffLines(const std::vector<std::string>& before,
                     const std::vector<std::string>& after);

class LineHistory {
 public:
  static constexpr size_t kMaxBytes = size_t{256} << 20;

  // Forgets every step; the lines as they are now (a new or opened document) count as saved
  // unless `saved` is false (a converted older file).
  void Reset(bool saved = true);
  // A change named `step`; the steps that could be redone are dropped. `before` and `after`
  // are the line the step changed as it was and as it is (empty for the side where there is
  // none: an added line has no before, a deleted one no after); undo selects `before`, redo
  // `after`. Returns how many of the oldest steps were dropped to stay within the limit (the
  // newest step is always kept).
  size_t Record(const std::string& step, LineChange change, const std::string& before,
                const std::string& after);

  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ < steps_.size(); }
  // "Add Point Load": the step undo would take back / redo would make again.
  std::string UndoName() const { return CanUndo() ? steps_[current_ - 1].name : std::string(); }
  std::string RedoName() const { return CanRedo() ? steps_[current_].name : std::string(); }

  // Moves one step back or forward, changing `lines` (the lines of the current state) into
  // the lines there. Precondition: CanUndo() / CanRedo(). Returns false, leaving the history
  // and `lines` as they were, when `lines` are not what the step left / found.
  bool Undo(std::vector<std::string>& lines);
  bool Redo(std::vector<std::string>& lines);
  // The change the next Undo takes back / the next Redo makes. Precondition: CanUndo() /
  // CanRedo(). Valid until the next Record or Reset.
  const LineChange& UndoChange() const { return steps_[current_ - 1].change; }
  const LineChange& RedoChange() const { return steps_[current_].change; }
  // The line to select after the last undo or redo (empty: none).
  const std::string& LastAffected() const { return lastAffected_; }

  // The current state is what is on disk now.
  void MarkSaved() { saved_ = current_; savedValid_ = true; }
  bool AtSavedState() const { return savedValid_ && saved_ == current_; }
  size_t Steps() const { return steps_.size(); }
  // The memory the steps hold, about; and the limit (kMaxBytes unless changed).
  size_t Bytes() const { return bytes_; }
  size_t MaxBytes() const { return maxBytes_; }
  void SetMaxBytes(size_t bytes) { maxBytes_ = bytes; }

 private:
  struct Step {
    std::string name;
    std::string before, after;  // the changed line before and after the step
    LineChange change;
    size_t bytes = 0;
  };
  static size_t SizeOf(const Step& step);
  void DropOldest();

  std::vector<Step> steps_;  // steps_[i] leads from state i to state i + 1
  size_t current_ = 0;       // the state shown: after steps_[0 .. current_ - 1]
  size_t saved_ = 0;
  bool savedValid_ = true;
  size_t bytes_ = 0;
  size_t maxBytes_ = kMaxBytes;
  std::string lastAffected_;
};

// The name of an editor step: "Add Point Load", "Edit Support", "Delete Moment Release",
// "Edit Description", "Edit Units". `action` is "Add", "Edit" or "Delete".
std::string EditStepName(const char* action, int section);

}  // namespace spanlab
