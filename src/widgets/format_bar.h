// CFormatBar: the "Formatting" toolbar. It shows the font face and size of the target editor's
// selection and sets its face, size, text colour and highlight colour; the other buttons are
// the editor's own commands, handed in as actions.
#pragma once

#include <QAction>
#include <QPointer>
#include <QTextEdit>
#include <QToolBar>
#include <functional>
#include <string>
#include <vector>

#include "widgets/colour_ref.h"

namespace mlf {

class CColourButton;
class CFontNameCombo;
class CFontSizeCombo;

// The editor's commands on the bar; a null action is left out.
struct FormatBarActions {
  QAction* bold = nullptr;
  QAction* italic = nullptr;
  QAction* underline = nullptr;
  QAction* strikethrough = nullptr;
  QAction* left = nullptr;
  QAction* center = nullptr;
  QAction* right = nullptr;
  QAction* justify = nullptr;
  QAction* bullets = nullptr;
  QAction* indentLess = nullptr;
  QAction* indentMore = nullptr;
  QAction* find = nullptr;
};

// Where the colour popup's 16 custom colours are kept, as their setting text.
struct CustomColoursStore {
  std::function<std::string()> load;
  std::function<void(const std::string&)> save;
};

class CFormatBar : public QToolBar {
  Q_OBJECT
 public:
  CFormatBar(const FormatBarActions& actions, CustomColoursStore customColours, QWidget* parent = nullptr);

  // Null: there is no editor; the colour buttons and combos then change nothing.
  void SetTarget(QTextEdit* target);
  QTextEdit* Target() const { return m_target; }

  // Disabled, the combos, the colour commands and the editor's character, alignment, bullet
  // and indent buttons are off; enabled, the colour commands are on and the editor's buttons
  // follow their actions. The bar starts disabled.
  void SetEnabled(bool enabled);
  bool IsEnabled() const { return m_enabled; }

  // Shows the face and whole-point size of the target's selection; empty where it mixes them
  // (or, for the face, when the face is not in the list).
  void ShowSelectionFont();

  CFontNameCombo* FontNameCombo() const { return m_fontName; }
  CFontSizeCombo* FontSizeCombo() const { return m_fontSize; }
  CColourButton* FontColourButton() const { return m_fontColour; }
  CColourButton* HighlightButton() const { return m_highlight; }
  QAction* FontColourAction() const { return m_fontColourAction; }
  QAction* HighlightAction() const { return m_highlightAction; }

 private:
  // Applies the button's colour to the target's selection (automatic clears the property).
  void ApplyColour(CColourButton& button, int property);
  // Opens the colour popup below the button; a chosen colour becomes the button's and is applied.
  void ChooseColour(CColourButton& button, int property);
  CColourButton* AddColourButton(QAction* action, const char* art, QPalette::ColorRole automaticRole,
                                 ColourRef colour, int property);
  void SyncEditorButton(QAction* action);

  QPointer<QTextEdit> m_target;
  std::vector<QMetaObject::Connection> m_targetConnections;
  CustomColoursStore m_customColours;
  bool m_enabled = true;
  CFontNameCombo* m_fontName;
  CFontSizeCombo* m_fontSize;
  QAction* m_fontColourAction;
  QAction* m_highlightAction;
  CColourButton* m_fontColour = nullptr;
  CColourButton* m_highlight = nullptr;
  // The editor's buttons that the disabled bar turns off whatever their actions say.
  std::vector<QAction*> m_heldWhileDisabled;
};

}  // namespace mlf
