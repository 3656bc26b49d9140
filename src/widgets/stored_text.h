// Titles, bookmark names and other texts are kept as the bytes the file stores; these two
// functions are the one place where the widgets turn them into QString and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace mlf {

QString FromStored(std::string_view stored);
std::string ToStored(const QString& text);

}  // namespace mlf
