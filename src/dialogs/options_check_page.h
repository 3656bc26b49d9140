// The Options pages that are only check boxes, each editing one flag of the settings: General
// (confirmations, image display, tree navigation, window behaviour) and Start Up. A page holds
// its copies in its check boxes from construction on, so a page never shown gives back what it
// was given.
#pragma once

#include <QWidget>
#include <span>

#include "settings/settings.h"

class QCheckBox;

namespace mlf {

// One check box: the group it opens (null: it stays in the group before it), its text, its
// object name and the flag it edits.
struct OptionCheck {
  const char* group;
  const char* text;
  const char* name;
  bool MlfSettings::*flag;
};

class COptionsCheckPage : public QWidget {
  Q_OBJECT
 public:
  COptionsCheckPage(std::span<const OptionCheck> checks, const MlfSettings& settings, QWidget* parent = nullptr);
  // Writes every check box's state into its flag.
  void CopyBack(MlfSettings& settings) const;

 private:
  std::span<const OptionCheck> m_checks;
  QList<QCheckBox*> m_boxes;
};

class COptionsPage_General : public COptionsCheckPage {
  Q_OBJECT
 public:
  explicit COptionsPage_General(const MlfSettings& settings, QWidget* parent = nullptr);
};

class COptionsPage_Startup : public COptionsCheckPage {
  Q_OBJECT
 public:
  explicit COptionsPage_Startup(const MlfSettings& settings, QWidget* parent = nullptr);
};

}  // namespace mlf
