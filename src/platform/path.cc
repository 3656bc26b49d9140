#include "platform/path.h"

namespace mlf {

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

static size_t LastSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i)
    if (IsPathSeparator(path[i - 1])) return i - 1;
  return std::string_view::npos;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string result(folder);
  if (!result.empty() && !IsPathSeparator(result.back())) result += '/';
  result += name;
  return result;
}

std::string DirName(std::string_view path) {
  size_t sep = LastSeparator(path);
  if (sep == std::string_view::npos) return ".";
  if (sep == 0) return "/";
  return std::string(path.substr(0, sep));
}

std::string BaseName(std::string_view path) {
  size_t sep = LastSeparator(path);
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string Extension(std::string_view path) {
  std::string base = BaseName(path);
  size_t dot = base.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : base.substr(dot + 1);
}

}  // namespace mlf
