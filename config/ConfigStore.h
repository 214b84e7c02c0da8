// The process-wide configuration store. Created once, on first use, from any thread; its
// creation makes the per-user data folder. Every setting comes from the environment.
#pragma once
#include <map>
#include <memory>
#include <string>

class ConfigStore {
 public:
  // The store, created by the first caller; others wait until it exists. May be called
  // while another once-only creation (the host table's) is running on the same thread.
  static ConfigStore& Instance();

  // out = the variable's value when it is present (even when empty) and true; otherwise
  // out = defaultValue and false. Reads only the environment; any thread.
  static bool GetEnvString(const std::string& name, std::string& out, const std::string& defaultValue);

  // The data folder (OEM text, ending in the separator), empty when it was neither found nor made.
  const std::string& DataFolder() const { return dataFolder; }
  // "config.ini": recorded, never opened.
  const std::string& FileName() const { return fileName; }

  ~ConfigStore();

 private:
  ConfigStore();
  friend struct std::default_delete<ConfigStore>;

  std::string dataFolder;
  std::string fileName;
  std::map<std::string, std::string> values;
};
