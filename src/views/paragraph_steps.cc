#include "views/paragraph_steps.h"

#include <algorithm>

namespace mlf {

int StartIndent(const rtf::ParagraphFormat& format) { return format.leftIndent + format.firstLineIndent; }
int HangingOffset(const rtf::ParagraphFormat& format) { return -format.firstLineIndent; }

void SetStartIndent(rtf::ParagraphFormat& format, int start) { format.leftIndent = start + HangingOffset(format); }

void SetHangingOffset(rtf::ParagraphFormat& format, int offset) {
  int start = StartIndent(format);
  format.firstLineIndent = -offset;
  format.leftIndent = start + offset;
}

int IndentMoreStep(int start) { return std::max(0, start == 0 || start == 360 ? start + 360 : start + 720); }
int IndentLessStep(int start) { return start == 720 ? 360 : std::max(0, start - 720); }

bool IsBulleted(const rtf::ParagraphFormat& format) { return format.list.style == rtf::ListFormat::Style::kBullet; }

void IndentMore(const rtf::ParagraphFormat& first, rtf::ParagraphFormat& target) {
  SetStartIndent(target, IndentMoreStep(StartIndent(first)));
}

void IndentLess(const rtf::ParagraphFormat& first, rtf::ParagraphFormat& target) {
  SetStartIndent(target, IndentLessStep(StartIndent(first)));
  if (!IsBulleted(first)) SetHangingOffset(target, IndentLessStep(HangingOffset(first)));
}

void ToggleBullets(const rtf::ParagraphFormat& first, rtf::ParagraphFormat& target) {
  if (IsBulleted(first)) {
    target.list = {};
    SetHangingOffset(target, std::max(0, HangingOffset(first) - 720));
  } else {
    target.list = {rtf::ListFormat::Style::kBullet, 0, 1};
    SetHangingOffset(target, 720);
  }
}

}  // namespace mlf
