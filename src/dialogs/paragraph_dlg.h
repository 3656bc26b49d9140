// CParagraphDlg: the alignment and the left and right indents of the selected paragraphs, the
// indents in whole points (1 point = 20 twips), each from 0 to 432 (6 inches). "Left" is where
// a paragraph's first line starts.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace mlf {

// The paragraph format the dialog is given and returns.
struct ParagraphDlgFormat {
  static constexpr unsigned kStartIndent = 1;
  static constexpr unsigned kRightIndent = 2;
  static constexpr unsigned kAlignment = 8;
  // Alignment values; any other (0 for a selection of mixed alignments) shows none chosen.
  static constexpr int kLeft = 1, kRight = 2, kCenter = 3, kJustify = 4;

  unsigned mask = 0;
  int startIndent = 0;  // twips
  int rightIndent = 0;  // twips
  int alignment = 0;
  bool operator==(const ParagraphDlgFormat&) const = default;
};

class CParagraphDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMaxIndentPoints = 432;

  explicit CParagraphDlg(const ParagraphDlgFormat& format, QWidget* parent = nullptr);
  // After OK: the three fields with the mask set for them.
  ParagraphDlgFormat Format() const { return m_result; }

  QComboBox* AlignmentList() const { return m_alignment; }
  QLineEdit* LeftEdit() const { return m_left; }
  QLineEdit* RightEdit() const { return m_right; }

  // Refuses values that are not whole numbers in range, telling the user, and stays open.
  void accept() override;

 private:
  ParagraphDlgFormat m_given;
  ParagraphDlgFormat m_result;
  QComboBox* m_alignment;
  QLineEdit* m_left;
  QLineEdit* m_right;
};

}  // namespace mlf
