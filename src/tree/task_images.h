// The image list of the task list: 0 a clock (every row's picture), 1 and 2 the header marks of
// ascending and descending sorting, 3 a small note drawn over a row's clock when its task is
// attached to a node.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <array>

namespace mlf {

constexpr int kTaskImageClock = 0;
constexpr int kTaskImageAscending = 1;
constexpr int kTaskImageDescending = 2;
constexpr int kTaskImageAttachedNote = 3;

class TaskImages {
 public:
  // The application's list, built on first use (a GUI application must exist).
  static TaskImages& Instance();

  QPixmap Image(int index) const;
  // A row's picture: the clock, with the note over it when the task is attached.
  QIcon RowIcon(bool attached) const;

 private:
  TaskImages();
  std::array<QPixmap, 4> m_images;
  QIcon m_plain, m_attached;
};

}  // namespace mlf
