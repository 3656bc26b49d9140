// The Editor page of the Options sheet: the default font of new notes and the font of imported
// plain text, each shown as "name, size pt" and changed with the font dialog, and the editor's
// word wrap and automatic word selection. It works on copies until the sheet copies it back.
#pragma once

#include <QFont>
#include <QWidget>
#include <cstdint>
#include <string>

#include "settings/settings.h"

class QCheckBox;
class QLabel;

namespace mlf {

// A font as the settings keep it: a face name and a size in whole points.
struct FontChoice {
  std::string name;
  uint32_t size = 0;
  bool operator==(const FontChoice&) const = default;
};

// "Arial, 12 pt".
QString FontLabelText(const FontChoice& font);
// What the font dialog chose, in whole points: the size in tenths of a point divided by ten,
// so 10.5 points is 10; never less than 1 point.
FontChoice ChosenFont(const QFont& font);

class COptionsPage_Editor : public QWidget {
  Q_OBJECT
 public:
  explicit COptionsPage_Editor(const MlfSettings& settings, QWidget* parent = nullptr);
  void CopyBack(MlfSettings& settings) const;

 private:
  // One font with its label and its "Change..." button, in a group of its own.
  QWidget* FontGroup(const char* title, const char* name, FontChoice& font);
  // The font dialog, without effects or scripts; OK takes the face and size, Cancel nothing.
  void ChangeFont(FontChoice& font, QLabel* label);

  FontChoice m_defaultFont;
  FontChoice m_importFont;
  QCheckBox* m_wordWrap;
  QCheckBox* m_autoWordSelection;
};

}  // namespace mlf
