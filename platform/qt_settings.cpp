#include "platform/qt_settings.h"

namespace spanlab {

namespace {
QString Key(const std::string& section, const std::string& key) {
  return QString::fromStdString(section + "/" + key);
}
}  // namespace

QtSettingsStore::QtSettingsStore() : settings_("Spanlab Application", "Spanlab") {}

int QtSettingsStore::GetInt(const std::string& section, const std::string& key, int fallback) {
  // A corrupt value (not a number) counts as missing.
  bool ok = false;
  const int value = settings_.value(Key(section, key), fallback).toInt(&ok);
  return ok ? value : fallback;
}

void QtSettingsStore::SetInt(const std::string& section, const std::string& key, int value) {
  settings_.setValue(Key(section, key), value);
}

std::string QtSettingsStore::GetString(const std::string& section, const std::string& key,
                                       const std::string& fallback) {
  return settings_.value(Key(section, key), QString::fromStdString(fallback))
      .toString()
      .toStdString();
}

void QtSettingsStore::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
  settings_.setValue(Key(section, key), QString::fromStdString(value));
}

}  // namespace spanlab
