#include "widgets/format_bar.h"

#include <QTextCharFormat>

#include "widgets/colour_button.h"
#include "widgets/colour_popup.h"
#include "widgets/font_name_combo.h"
#include "widgets/font_size_combo.h"
#include "widgets/selection_format.h"

namespace mlf {
namespace {

constexpr int kFontNameWidth = 190;
constexpr int kFontSizeWidth = 60;

}  // namespace

CFormatBar::CFormatBar(const FormatBarActions& actions, CustomColoursStore customColours, QWidget* parent)
    : QToolBar(QStringLiteral("Formatting"), parent), m_customColours(std::move(customColours)) {
  setObjectName(QStringLiteral("FormattingBar"));
  setAllowedAreas(Qt::TopToolBarArea);
  setIconSize({16, 16});

  auto addGroup = [this](std::initializer_list<QAction*> group) {
    bool any = false;
    for (QAction* action : group) {
      if (!action) continue;
      addAction(action);
      any = true;
    }
    if (any) addSeparator();
  };

  m_fontName = new CFontNameCombo(this);
  m_fontName->setFixedWidth(kFontNameWidth);
  addWidget(m_fontName);
  addSeparator();
  m_fontSize = new CFontSizeCombo(this);
  m_fontSize->setFixedWidth(kFontSizeWidth);
  addWidget(m_fontSize);
  addSeparator();
  addGroup({actions.bold, actions.italic, actions.underline, actions.strikethrough});
  addGroup({actions.left, actions.center, actions.right, actions.justify});
  addGroup({actions.bullets, actions.indentLess, actions.indentMore});

  m_fontColourAction = new QAction(QStringLiteral("Font Colour"), this);
  m_highlightAction = new QAction(QStringLiteral("Font Highlight"), this);
  m_fontColour = AddColourButton(m_fontColourAction, "font_colour", QPalette::Text,
                                 RefFromColour(palette().color(QPalette::Active, QPalette::Text)), QTextFormat::ForegroundBrush);
  m_highlight = AddColourButton(m_highlightAction, "font_highlight", QPalette::Base, MakeColourRef(255, 255, 0),
                                QTextFormat::BackgroundBrush);
  if (actions.find) {
    addSeparator();
    addAction(actions.find);
  }

  for (QAction* action : {actions.bold, actions.italic, actions.underline, actions.left, actions.center,
                          actions.right, actions.bullets, actions.indentLess, actions.indentMore}) {
    if (!action) continue;
    m_heldWhileDisabled.push_back(action);
    // Runs after the button has taken the action's new state, so the disabled bar keeps it off.
    connect(action, &QAction::changed, this, [this, action] { SyncEditorButton(action); });
  }
  SetEnabled(false);
}

CColourButton* CFormatBar::AddColourButton(QAction* action, const char* art, QPalette::ColorRole automaticRole,
                                           ColourRef colour, int property) {
  auto* button = new CColourButton(action, QStringLiteral(":/widgets/%1.svg").arg(QLatin1String(art)),
                                   automaticRole, colour, this);
  addWidget(button);
  connect(action, &QAction::triggered, this, [this, button, property] { ApplyColour(*button, property); });
  connect(button, &CColourButton::DropDownPressed, this, [this, button, property] { ChooseColour(*button, property); });
  return button;
}

void CFormatBar::SetTarget(QTextEdit* target) {
  for (const QMetaObject::Connection& connection : m_targetConnections) disconnect(connection);
  m_targetConnections.clear();
  m_target = target;
  m_fontName->SetTarget(target);
  m_fontSize->SetTarget(target);
  if (!target) return;
  m_targetConnections.push_back(
      connect(target, &QTextEdit::selectionChanged, this, &CFormatBar::ShowSelectionFont));
  m_targetConnections.push_back(
      connect(target, &QTextEdit::currentCharFormatChanged, this, &CFormatBar::ShowSelectionFont));
  ShowSelectionFont();
}

void CFormatBar::SetEnabled(bool enabled) {
  m_enabled = enabled;
  m_fontName->setEnabled(enabled);
  m_fontSize->setEnabled(enabled);
  m_fontColourAction->setEnabled(enabled);
  m_highlightAction->setEnabled(enabled);
  for (QAction* action : m_heldWhileDisabled) SyncEditorButton(action);
}

void CFormatBar::SyncEditorButton(QAction* action) {
  if (QWidget* button = widgetForAction(action)) button->setEnabled(m_enabled && action->isEnabled());
}

void CFormatBar::ShowSelectionFont() {
  if (!m_target) return;
  const SelectionFont font = ReadSelectionFont(*m_target);
  m_fontName->ShowFamily(font.family);
  m_fontSize->ShowText(font.twips > 0 ? QString::number(font.twips / 20) : QString());
}

void CFormatBar::ApplyColour(CColourButton& button, int property) {
  if (!m_target) return;
  if (button.Colour() == kAutomaticColour) return ClearSelectionProperty(*m_target, property);
  QTextCharFormat format;
  format.setProperty(property, QBrush(ColourFromRef(button.Colour())));
  ApplySelectionFormat(*m_target, format);
}

void CFormatBar::ChooseColour(CColourButton& button, int property) {
  ColourRef start = kAutomaticColour;
  if (m_target) {
    const QTextCharFormat format = m_target->currentCharFormat();
    const QBrush brush = format.brushProperty(property);
    if (format.hasProperty(property) && brush.style() != Qt::NoBrush) start = RefFromColour(brush.color());
  }
  std::string customColours = m_customColours.load ? m_customColours.load() : std::string();
  const QPoint below = button.mapToGlobal(QPoint(0, button.height()));
  std::optional<ColourRef> colour = QuarnColourPopup::Run(below, start, &button, QStringLiteral("Automatic"),
                                                          QStringLiteral("More Colours..."), customColours);
  if (m_customColours.save) m_customColours.save(customColours);
  if (!colour) return;
  button.SetColour(*colour);
  ApplyColour(button, property);
}

}  // namespace mlf
