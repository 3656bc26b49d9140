#include "tree/node_drag_data.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>

#include "tree/mlf_tree_ctrl.h"

namespace mlf {

std::unique_ptr<QMimeData> MakeNodeDragData(const NodeDrag& drag) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out << qint64(QCoreApplication::applicationPid()) << quint64(reinterpret_cast<quintptr>(drag.tree))
      << quint32(drag.nodeId) << drag.rightButton;
  auto data = std::make_unique<QMimeData>();
  data->setData(QString::fromLatin1(kNodeDragFormat), bytes);
  return data;
}

std::optional<NodeDrag> ReadNodeDragData(const QMimeData& data) {
  QByteArray bytes = data.data(QString::fromLatin1(kNodeDragFormat));
  if (bytes.isEmpty()) return std::nullopt;
  QDataStream in(bytes);
  qint64 pid = 0;
  quint64 tree = 0;
  quint32 nodeId = 0;
  bool right = false;
  in >> pid >> tree >> nodeId >> right;
  if (in.status() != QDataStream::Ok || pid != QCoreApplication::applicationPid()) return std::nullopt;
  // The address is only trusted once it is found among the trees that exist now.
  for (CMlfTreeCtrl* live : CMlfTreeCtrl::LiveTrees())
    if (reinterpret_cast<quintptr>(live) == tree) return NodeDrag{live, nodeId, right};
  return std::nullopt;
}

}  // namespace mlf
