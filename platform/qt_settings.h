// The settings store on QSettings: ~/.config/Spanlab Application/Spanlab.conf on Linux.
#pragma once

#include <QSettings>

#include "platform/settings.h"

namespace spanlab {

class QtSettingsStore : public SettingsStore {
 public:
  // Organisation "Spanlab Application", application "Spanlab".
  QtSettingsStore();
  int GetInt(const std::string& section, const std::string& key, int fallback) override;
  void SetInt(const std::string& section, const std::string& key, int value) override;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) override;
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value) override;
  QSettings& qsettings() { return settings_; }

 private:
  QSettings settings_;
};

}  // namespace spanlab
