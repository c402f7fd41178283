// Small pictures of the dialogs, drawn with the program's own symbol routines and QPainter.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "edit/inertia.h"

namespace spanlab {

// The kind of item a section holds, on a short piece of beam.
QPixmap ItemPicture(int section);
// A cross-section shape with its dimensions named.
QPixmap InertiaShapePicture(InertiaShape shape);
// The 15 section icons of the section database tree (0 default .. 13 shapes, 14 entries).
QIcon SectionIcon(int index);

}  // namespace spanlab
