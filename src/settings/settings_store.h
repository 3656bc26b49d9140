// Where settings are kept: named values of three types under the program's one key (the
// registry on Windows, the desktop's native settings elsewhere). A value of another type or
// size than asked for reads as missing.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace mlf {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<uint32_t> ReadNumber(const std::string& name) = 0;
  virtual std::optional<std::string> ReadText(const std::string& name) = 0;
  virtual std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) = 0;
  virtual void WriteNumber(const std::string& name, uint32_t value) = 0;
  virtual void WriteText(const std::string& name, const std::string& value) = 0;
  virtual void WriteBinary(const std::string& name, const std::vector<uint8_t>& value) = 0;
};

// Settings held in memory, for tests and for runs that must not touch the user's settings.
class MemorySettingsStore : public SettingsStore {
 public:
  using Value = std::variant<uint32_t, std::string, std::vector<uint8_t>>;

  std::optional<uint32_t> ReadNumber(const std::string& name) override { return Read<uint32_t>(name); }
  std::optional<std::string> ReadText(const std::string& name) override { return Read<std::string>(name); }
  std::optional<std::vector<uint8_t>> ReadBinary(const std::string& name) override {
    return Read<std::vector<uint8_t>>(name);
  }
  void WriteNumber(const std::string& name, uint32_t value) override { values[name] = value; }
  void WriteText(const std::string& name, const std::string& value) override { values[name] = value; }
  void WriteBinary(const std::string& name, const std::vector<uint8_t>& value) override { values[name] = value; }

  std::map<std::string, Value> values;

 private:
  template <typename T>
  std::optional<T> Read(const std::string& name) {
    auto it = values.find(name);
    if (it == values.end() || !std::holds_alternative<T>(it->second)) return std::nullopt;
    return std::get<T>(it->second);
  }
};

}  // namespace mlf
