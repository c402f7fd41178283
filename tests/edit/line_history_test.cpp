// The undo history as changes: hunks made and taken back, a refused change that leaves the
// lines alone, the steps of a long series of edits on a large model undone and redone exactly,
// and a history that drops its oldest steps only past its limit and says so.
#include "edit/line_history.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/sections.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

TEST(LineChangeTest, HunksAreMadeInOrderAndTakenBackInReverse) {
  const Lines before = {"a", "b", "c", "d", "e"};
  // Remove "b", then replace "d" (now at 2) by two lines, then add one at the end.
  const LineChange change = {{1, {"b"}, {}}, {2, {"d"}, {"x", "y"}}, {5, {}, {"z"}}};
  Lines lines = before;
  ASSERT_TRUE(ApplyChange(change, lines));
  EXPECT_EQ(lines, (Lines{"a", "c", "x", "y", "e", "z"}));
  ASSERT_TRUE(RevertChange(change, lines));
  EXPECT_EQ(lines, before);
}

TEST(LineChangeTest, ChangeThatDoesNotFitIsRefusedAndLeavesTheLines) {
  const LineChange change = {{0, {"a"}, {"A"}}, {1, {"q"}, {}}};  // no "q" at 1
  Lines lines = {"a", "b"};
  EXPECT_FALSE(ApplyChange(change, lines));
  EXPECT_EQ(lines, (Lines{"a", "b"})) << "the first hunk was not taken back";
  EXPECT_FALSE(RevertChange(change, lines));  // no "A" at 0
  EXPECT_EQ(lines, (Lines{"a", "b"}));
  EXPECT_FALSE(ApplyChange({{3, {}, {"x"}}}, lines)) << "past the end";
  EXPECT_EQ(lines, (Lines{"a", "b"}));
}

TEST(LineChangeTest, DiffKeepsTheCommonStartAndEnd) {
  EXPECT_TRUE(DiffLines({"a", "b"}, {"a", "b"}).empty());
  EXPECT_EQ(DiffLines({"a", "b", "c"}, {"a", "x", "y", "c"}),
            (LineChange{{1, {"b"}, {"x", "y"}}}));
  // Start and end may claim the same line only once.
  EXPECT_EQ(DiffLines({"a", "a"}, {"a"}), (LineChange{{1, {"a"}, {}}}));
  EXPECT_EQ(DiffLines({}, {"File Format:3.0", "/x"}),
            (LineChange{{0, {}, {"File Format:3.0", "/x"}}}));
  const Lines before = {"1", "2", "3", "4"}, after = {"1", "4", "2"};
  Lines lines = before;
  ASSERT_TRUE(ApplyChange(DiffLines(before, after), lines));
  EXPECT_EQ(lines, after);
}

// A model of `n` support lines and a random editor that adds, deletes and edits lines as the
// tree does (one or two hunks of one line each).
class RandomEdits {
 public:
  explicit RandomEdits(size_t n) {
    lines.push_back("File Format:3.0");
    for (size_t i = 0; i < n; ++i) lines.push_back("Support: X = " + std::to_string(10 * i) + ";");
  }
  LineChange Next() {
    const auto at = [this](size_t size) {
      return 1 + std::uniform_int_distribution<size_t>(0, size - 2)(rng_);
    };
    const std::string made = "Point Load: X = " + std::to_string(counter_++) + "; PLoad = -1;";
    switch (std::uniform_int_distribution<int>(0, 2)(rng_)) {
      case 0:
        return {{at(lines.size() + 1), {}, {made}}};
      case 1: {
        const size_t i = at(lines.size());
        return {{i, {lines[i]}, {}}};
      }
      default: {  // an edit: the line goes, its new text lands elsewhere
        const size_t i = at(lines.size());
        return {{i, {lines[i]}, {}}, {at(lines.size()), {}, {made}}};
      }
    }
  }
  Lines lines;

 private:
  std::mt19937 rng_{16};
  int counter_ = 0;
};

TEST(LineHistoryTest, LongSeriesOfEditsOnALargeModelUndoesAndRedoesExactly) {
  constexpr size_t kLines = 20'000, kEdits = 2'000;
  RandomEdits edits(kLines);
  const Lines first = edits.lines;
  LineHistory history;
  history.Reset();
  std::vector<Lines> checkpoints;  // every 500th state
  for (size_t e = 0; e < kEdits; ++e) {
    if (e % 500 == 0) checkpoints.push_back(edits.lines);
    LineChange change = edits.Next();
    ASSERT_TRUE(ApplyChange(change, edits.lines)) << e;
    ASSERT_EQ(history.Record("Edit Support", std::move(change), "", ""), 0u);
  }
  const Lines last = edits.lines;
  EXPECT_EQ(history.Steps(), kEdits);
  // A step costs its change, not the model: well under a kilobyte each.
  EXPECT_LT(history.Bytes(), kEdits * 1024);

  Lines lines = last;
  for (size_t e = kEdits; e-- > 0;) {
    ASSERT_TRUE(history.Undo(lines)) << e;
    if (e % 500 == 0) {
      ASSERT_EQ(lines, checkpoints[e / 500]) << "after undoing to state " << e;
    }
  }
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(lines, first);
  EXPECT_TRUE(history.AtSavedState());
  for (size_t e = 0; e < kEdits; ++e) ASSERT_TRUE(history.Redo(lines)) << e;
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(lines, last);
}

TEST(LineHistoryTest, UndoThatDoesNotFitTheLinesChangesNothing) {
  LineHistory history;
  Lines lines = {"File Format:3.0"};
  LineChange change = {{1, {}, {"/a"}}};
  ASSERT_TRUE(ApplyChange(change, lines));
  history.Record("Edit Description", change, "", "/a");
  Lines other = {"File Format:3.0", "/b"};
  EXPECT_FALSE(history.Undo(other));
  EXPECT_EQ(other, (Lines{"File Format:3.0", "/b"}));
  EXPECT_TRUE(history.CanUndo());
  EXPECT_EQ(history.UndoName(), "Edit Description");
  ASSERT_TRUE(history.Undo(lines));
  EXPECT_EQ(lines, (Lines{"File Format:3.0"}));
  EXPECT_EQ(history.LastAffected(), "");
  ASSERT_TRUE(history.Redo(lines));
  EXPECT_EQ(history.LastAffected(), "/a");
}

TEST(LineHistoryTest, PastItsLimitTheOldestStepsGoAndRecordSaysHowMany) {
  LineHistory history;
  const std::string line(1000, 'x');
  auto step = [&line](size_t at) { return LineChange{{at, {}, {"/" + line}}}; };
  history.Record("Add 1", step(1), "", "");
  const size_t oneStep = history.Bytes();
  history.MarkSaved();  // the state after the first step is on disk
  history.SetMaxBytes(3 * oneStep);
  EXPECT_EQ(history.Record("Add 2", step(2), "", ""), 0u);
  EXPECT_EQ(history.Record("Add 3", step(3), "", ""), 0u);
  EXPECT_EQ(history.Record("Add 4", step(4), "", ""), 1u);
  EXPECT_EQ(history.Steps(), 3u);
  EXPECT_LE(history.Bytes(), 3 * oneStep);
  // Three undos reach the state after "Add 1", which is still the saved one.
  Lines lines = {"File Format:3.0", "/" + line, "/" + line, "/" + line, "/" + line};
  for (const char* name : {"Add 4", "Add 3", "Add 2"}) {
    EXPECT_EQ(history.UndoName(), name);
    ASSERT_TRUE(history.Undo(lines));
  }
  EXPECT_FALSE(history.CanUndo());
  EXPECT_TRUE(history.AtSavedState());
  EXPECT_EQ(lines.size(), 2u);
  // A step larger than the limit is still kept, alone.
  history.SetMaxBytes(10);
  EXPECT_EQ(history.Record("Add big", step(2), "", ""), 0u) << "the redo steps went, not dropped";
  EXPECT_EQ(history.Steps(), 1u);
  EXPECT_EQ(history.Record("Add bigger", step(3), "", ""), 1u);
  EXPECT_EQ(history.Steps(), 1u);
  EXPECT_EQ(history.UndoName(), "Add bigger");
  EXPECT_FALSE(history.AtSavedState());
}

TEST(LineHistoryTest, StepNamesFollowTheSectionTable) {
  EXPECT_EQ(EditStepName("Add", kSectionPointLoads), "Add Point Load");
  EXPECT_EQ(EditStepName("Delete", kSectionReleases), "Delete Moment Release");
  EXPECT_EQ(EditStepName("Add", kSectionDescription), "Edit Description");
  EXPECT_EQ(EditStepName("Add", kSectionUnits), "Edit Units");
}

}  // namespace
}  // namespace spanlab
