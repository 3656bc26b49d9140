// The editor's paragraph commands on model formats, in twips. A paragraph's first line starts
// at the start indent (left indent + first-line indent); the lines after it stand the offset
// further right (offset = - first-line indent).
#pragma once

#include "rtf/document.h"

namespace mlf {

int StartIndent(const rtf::ParagraphFormat& format);
int HangingOffset(const rtf::ParagraphFormat& format);
// Moves the paragraph's first line to start, the other lines with it.
void SetStartIndent(rtf::ParagraphFormat& format, int start);
// Keeps the first line where it is.
void SetHangingOffset(rtf::ParagraphFormat& format, int offset);

// 0, 360, 720, 1440, 2160, ...
int IndentMoreStep(int start);
// ..., 2160, 1440, 720, 360, 0, 0
int IndentLessStep(int start);

// Indent More, Indent Less and Bullets for a selection: the step is worked out on the first
// paragraph's format and its result written into every selected paragraph.
void IndentMore(const rtf::ParagraphFormat& first, rtf::ParagraphFormat& target);
void IndentLess(const rtf::ParagraphFormat& first, rtf::ParagraphFormat& target);
// On: a bullet at level 0 numbered from 1, an offset of 720. Off (when the first paragraph is
// bulleted): no list, the offset 720 less.
void ToggleBullets(const rtf::ParagraphFormat& first, rtf::ParagraphFormat& target);
bool IsBulleted(const rtf::ParagraphFormat& format);

}  // namespace mlf
