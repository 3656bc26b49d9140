#include "widgets/stored_text.h"

#include "platform/codepage.h"

namespace mlf {

QString FromStored(std::string_view stored) { return QString::fromStdString(StoredTextToUtf8(stored)); }

std::string ToStored(const QString& text) { return Utf8ToStoredText(text.toStdString()); }

}  // namespace mlf
