// What the tree editor asks of the item dialogs: edit the text of one line (or, for the
// Description and Units sections, of the whole section).
#pragma once

#include <string>

#include "model/model_items.h"

namespace spanlab {

class LineEditor {
 public:
  virtual ~LineEditor() = default;
  // Opens the dialog of `section` (TreeSection) in `mode` (1 add, 2 edit) on `text`: a line's
  // text without its prefix, or the section's lines joined by "\r\n" for Description and Units.
  // On OK returns true with the new text (Description marks soft line breaks "\r\r\n"). The
  // fields are labelled in the unit system of `items` (the model's).
  virtual bool Edit(int section, int mode, const ModelItems& items, std::string& text) = 0;
};

}  // namespace spanlab
