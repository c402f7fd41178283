// The history of a model's line lists, for undo and redo. Every change made through the editor
// is one step with a name ("Add Point Load"); each step keeps the complete line list after it.
// Line lists are small, so whole lists are kept; the history drops its oldest steps only when
// it would hold more than kMaxBytes of text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace spanlab {

class LineHistory {
 public:
  static constexpr size_t kMaxBytes = size_t{256} << 20;

  // Starts again from `lines` (a new or opened document), which counts as saved unless
  // `saved` is false (a converted older file).
  void Reset(const std::vector<std::string>& lines, bool saved = true);
  // A change named `step` that produced `lines`; the steps that could be redone are dropped.
  // `before` and `after` are the line the step changed as it was and as it is (empty for the
  // side where there is none: an added line has no before, a deleted one no after); undo
  // selects `before`, redo `after`.
  void Record(const std::string& step, const std::vector<std::string>& lines,
              const std::string& before, const std::string& after);

  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < states_.size(); }
  // "Add Point Load": the step undo would take back / redo would make again.
  std::string UndoName() const { return CanUndo() ? states_[current_].step : std::string(); }
  std::string RedoName() const { return CanRedo() ? states_[current_ + 1].step : std::string(); }

  // Moves one step back or forward and returns the line list there. Precondition: CanUndo() /
  // CanRedo().
  const std::vector<std::string>& Undo();
  const std::vector<std::string>& Redo();
  // The line to select after the last undo or redo (empty: none).
  const std::string& LastAffected() const { return lastAffected_; }

  // The current state is what is on disk now.
  void MarkSaved() { saved_ = current_; savedValid_ = true; }
  bool AtSavedState() const { return savedValid_ && saved_ == current_; }
  size_t Steps() const { return states_.size() - 1; }

 private:
  struct State {
    std::string step;  // the step that led here (empty for the first state)
    std::string before, after;  // the changed line before and after the step
    std::vector<std::string> lines;
    size_t bytes = 0;
  };
  static size_t SizeOf(const std::vector<std::string>& lines);
  void DropOldest();

  std::vector<State> states_{State{}};
  size_t current_ = 0;
  size_t saved_ = 0;
  bool savedValid_ = true;
  size_t bytes_ = 0;
  std::string lastAffected_;
};

// The name of an editor step: "Add Point Load", "Edit Support", "Delete Moment Release",
// "Edit Description", "Edit Units". `action` is "Add", "Edit" or "Delete".
std::string EditStepName(const char* action, int section);

}  // namespace spanlab
