// What the results view asks of the tree editor while an item is dragged along the beam: one
// line rewritten again and again, then kept as one undo step or put back as it was.
#pragma once

#include <cstddef>
#include <string>

namespace spanlab {

class LineMover {
 public:
  virtual ~LineMover() = default;
  // Starts moving child `row` of `section` (ModelSection); false when there is no such line.
  virtual bool BeginMove(int section, size_t row) = 0;
  // The moving line's text now, without its prefix. Precondition: a move has begun.
  virtual const std::string& MovingText() const = 0;
  // Rewrites the moving line as `text` (without its prefix), placed by position among its
  // section's lines as an edit places it; the document runs the new lines.
  virtual void MoveTo(const std::string& text) = 0;
  // Ends the move: with `keep`, the whole move becomes one undo step ("Move Support") unless
  // the lines are as they were; otherwise the lines are put back as they were.
  virtual void EndMove(bool keep) = 0;
};

}  // namespace spanlab
