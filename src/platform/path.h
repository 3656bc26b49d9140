// Path texts: UTF-8 with '/' as the separator ('\\' is accepted too on Windows).
#pragma once

#include <string>
#include <string_view>

namespace mlf {

std::string JoinPath(std::string_view folder, std::string_view name);
// The folder part; "." when the path has no separator.
std::string DirName(std::string_view path);
std::string BaseName(std::string_view path);
// The extension without its dot, or empty.
std::string Extension(std::string_view path);
bool IsPathSeparator(char c);

}  // namespace mlf
