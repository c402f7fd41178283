// A plain text dialog for a model line or a whole Description or Units section: the line's
// fields as text, checked afterwards by the run's format check.
#pragma once

#include <QWidget>

#include "edit/line_editor.h"

namespace spanlab {

class QtTextLineEditor : public LineEditor {
 public:
  explicit QtTextLineEditor(QWidget* parent) : parent_(parent) {}
  bool Edit(int section, int mode, const CSPLX_30Doc& doc, std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace spanlab
