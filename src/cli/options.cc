#include "cli/options.h"

#include <set>

namespace mlf::cli {

std::optional<std::string> Options::Value(const std::string& flag) const {
  auto it = flags.find(flag);
  if (it == flags.end()) return std::nullopt;
  return it->second;
}

bool TakesValue(const std::string& flag, const std::string& command) {
  static const std::set<std::string> kValueFlags = {
      "--mode",  "--in",       "--into",  "--password-file", "--new-password-file", "--node",  "--as",
      "--format", "--to",      "--context", "--title",       "--priority",          "--due",   "--notes",
      "--add",   "--order",    "--folders", "--cipher",      "--kdf",               "--set",   "--get"};
  return kValueFlags.count(flag) != 0 || (command == "keywords" && flag == "--remove");
}

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) == 0 && arg.size() > 2) {
      size_t eq = arg.find('=');
      std::pair<std::string, std::string> flag;
      if (eq != std::string::npos) {
        flag = {arg.substr(0, eq), arg.substr(eq + 1)};
      } else if (TakesValue(arg, options.command)) {
        if (i + 1 >= argc) return std::nullopt;
        flag = {arg, argv[++i]};
      } else {
        flag = {arg, ""};
      }
      options.flags[flag.first] = flag.second;
      options.given.push_back(std::move(flag));
    } else if (arg == "-h") {
      options.flags["--help"] = "";
    } else if (arg.size() > 1 && arg[0] == '-') {
      options.flags[arg] = "";  // a short option: none is known but -h, so it is refused
    } else if (options.command.empty()) {
      options.command = arg;
    } else {
      options.arguments.push_back(arg);
    }
  }
  return options;
}

}  // namespace mlf::cli
