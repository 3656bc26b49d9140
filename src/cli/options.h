// The command line of the mlf tool: a command, its positional arguments and its flags.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mlf::cli {

struct Options {
  std::string command;
  std::vector<std::string> arguments;
  std::map<std::string, std::string> flags;  // "--mode" -> "all"; switches map to ""; the last one given
  std::vector<std::pair<std::string, std::string>> given;  // every flag in the order given, repeats too

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
  std::optional<std::string> Value(const std::string& flag) const;
};

// "--mode", "--into" and the other flags that take a value. A few names mean a switch to one
// command and take a value for another (passwd --remove, keywords --remove K).
bool TakesValue(const std::string& flag, const std::string& command = "");

// Flags that take a value; every other "--name" is a switch. "--name=value" works for both.
// Empty when the line is malformed (a value flag without its value).
std::optional<Options> ParseOptions(int argc, char** argv);

}  // namespace mlf::cli
