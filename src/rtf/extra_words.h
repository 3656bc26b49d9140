// Control words the model keeps as RTF text because it has no field for them (CharFormat::extra,
// ParagraphFormat::extra). The text holds one entry per word name, sorted by name, so that the
// same properties always give the same text however the RTF ordered them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mlf::rtf {

// Sets the word in the text: replaces an entry of the same name, or adds one. A parameter of 0
// turns the property off, which removes the entry.
void SetExtraWord(std::string& extra, std::string_view name, bool hasParameter, int parameter);

// The entries of the text ("\lang1031", "\caps").
std::vector<std::string_view> ExtraEntries(std::string_view extra);

// The word name of an entry ("lang" of "\lang1031").
std::string_view ExtraEntryName(std::string_view entry);

}  // namespace mlf::rtf
