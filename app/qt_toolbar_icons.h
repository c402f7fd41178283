// The toolbar's pictures, drawn rather than loaded: 16 x 15 units, sharp at any scale.
#pragma once

#include <QIcon>
#include <QString>

namespace spanlab {

// Icons by name: "new", "open", "save", "print", "preview", "about", "add", "edit", "delete",
// "position", "reactions", "shear", "moment", "rotation", "deflection", "copy".
QIcon ToolbarIcon(const QString& name);

}  // namespace spanlab
