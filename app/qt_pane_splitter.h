// The main frame's splitters: a splitter whose first pane keeps the size the user gave it, and
// View > Split, which moves the bars of two such splitters with the keyboard.
#pragma once

#include <QSplitter>

#include <functional>

namespace spanlab {

// A splitter of two panes. The first pane keeps its size (the tree column's width, the top
// row's height) whenever the splitter itself is resized — the frame resized, maximised or
// restored — and the second pane takes the whole change. The kept size also outlives a
// splitter too small to show it: it comes back as soon as there is room again.
//
// The kept size changes only when the user drags the bar or through SetPaneSize; a plain
// setSizes() lays the panes out once and is undone by the next resize.
class PaneSplitter : public QSplitter {
  Q_OBJECT

 public:
  PaneSplitter(Qt::Orientation orientation, QWidget* parent);

  // The first pane's size as the user left it, in pixels along the splitter; 0 is a
  // collapsed pane.
  int PaneSize() const { return m_paneSize; }
  // Keeps `size` (>= 0) and lays the panes out with it as far as the splitter has room.
  void SetPaneSize(int size);
  // Pixels the two panes share (the splitter's length less its bar).
  int Room() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Apply();

  int m_paneSize = 0;
};

// View > Split: while it runs, Left and Right move the bar of `columns`, Up and Down the bar
// of `rows`, by kStep pixels (1 with Ctrl). Enter or a click keeps the new sizes; Escape, or
// the window losing the focus, puts back the sizes of the start. Other keys do nothing
// meanwhile, so that no command runs in the middle of it.
class KeyboardSplit : public QObject {
  Q_OBJECT

 public:
  static constexpr int kStep = 8;

  // The splitters belong to `window` and outlive this object. `finished` is told when a
  // split ends (true: sizes kept).
  KeyboardSplit(PaneSplitter& columns, PaneSplitter& rows, QWidget& window,
                std::function<void(bool kept)> finished);
  ~KeyboardSplit() override;

  void Start();
  bool IsActive() const { return m_active; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Move(PaneSplitter& splitter, int& wanted, int delta);
  void Finish(bool keep);

  PaneSplitter& m_columns;
  PaneSplitter& m_rows;
  QWidget& m_window;
  std::function<void(bool)> m_finished;
  bool m_active = false;
  int m_startColumn = 0, m_startRow = 0;  // the kept sizes at the start
  int m_column = 0, m_row = 0;            // the sizes asked for by the keys so far
};

}  // namespace spanlab
