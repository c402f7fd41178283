// The per-user settings store: integers and texts by section and key ("Main"/"Top", ...).
#pragma once

#include <map>
#include <string>
#include <utility>

namespace spanlab {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int fallback) = 0;
  virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& fallback) = 0;
  virtual void SetString(const std::string& section, const std::string& key,
                         const std::string& value) = 0;
};

// Settings held in memory, for tests and for a program that must not touch the user's files.
class MemorySettings : public SettingsStore {
 public:
  int GetInt(const std::string& section, const std::string& key, int fallback) override {
    const auto it = ints.find({section, key});
    return it == ints.end() ? fallback : it->second;
  }
  void SetInt(const std::string& section, const std::string& key, int value) override {
    ints[{section, key}] = value;
  }
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) override {
    const auto it = strings.find({section, key});
    return it == strings.end() ? fallback : it->second;
  }
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value) override {
    strings[{section, key}] = value;
  }

  std::map<std::pair<std::string, std::string>, int> ints;
  std::map<std::pair<std::string, std::string>, std::string> strings;
};

}  // namespace spanlab
