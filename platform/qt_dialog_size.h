// Sizes of resizable dialogs kept between uses: a dialog opens at the size it had when it last
// closed, or at a default that shows its content the first time. Kept in the settings section
// "Dialogs" as "<name> Width" and "<name> Height" (pixels).
#pragma once

#include <QSize>

#include <string>

#include "platform/settings.h"

class QWidget;

namespace spanlab {

// Gives `dialog` its kept size (or `fallback`), never below what its layout needs nor above the
// available screen, and keeps the size it has whenever it is hidden. Without `settings` the
// dialog just opens at `fallback`.
void KeepDialogSize(QWidget& dialog, SettingsStore* settings, const std::string& name,
                    QSize fallback);

}  // namespace spanlab
