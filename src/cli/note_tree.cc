#include "cli/note_tree.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <unordered_set>

#include "platform/codepage.h"
#include "store/sibling_order.h"

namespace mlf::cli {

std::string ShownTitle(const std::string& stored) { return StoredTextToUtf8(stored); }

std::vector<TreeRow> TreeRows(const CMarrowleafDoc& doc) {
  std::vector<NTV> records;
  doc.Data_EnumItems([&](const NTV& r) { records.push_back(r); });
  std::vector<const NTV*> pointers;
  for (const NTV& r : records) pointers.push_back(&r);
  FileHeader header = doc.GetHeader();
  auto levels = OrderSiblings(pointers, SortOptions{header.sortFlags, header.folderArrangement});
  std::vector<TreeRow> rows;
  std::unordered_set<uint32_t> shown;  // guards against parent cycles in damaged files
  std::function<void(const NTV&, int)> show = [&](const NTV& r, int depth) {
    if (!shown.insert(r.nIndex).second) return;
    rows.push_back({r, depth});
    auto it = levels.find(r.nIndex);
    if (r.nType != ntFolder || it == levels.end()) return;
    for (const NTV* child : it->second) show(*child, depth + 1);
  };
  if (auto top = levels.find(0); top != levels.end())
    for (const NTV* r : top->second) show(*r, 0);
  // A node whose parent is missing, or whose parents form a cycle, is shown at the top level
  // (those with a missing parent first), so that nothing in the file is out of sight.
  NTV parent;
  std::stable_partition(pointers.begin(), pointers.end(),
                        [&](const NTV* r) { return !doc.Data_GetItem(r->nParent, parent); });
  for (const NTV* r : pointers) show(*r, 0);
  return rows;
}

std::vector<uint32_t> FindNodes(const CMarrowleafDoc& doc, const std::string& path) {
  if (path.size() > 1 && path[0] == '#') {
    char* end = nullptr;
    uint32_t id = static_cast<uint32_t>(std::strtoul(path.c_str() + 1, &end, 10));
    NTV record;
    if (*end == '\0' && doc.Data_GetItem(id, record)) return {id};
    return {};
  }
  if (path.rfind("//", 0) != 0) return {};
  std::vector<std::string> parts;
  for (size_t start = 2; start <= path.size();) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  if (parts.empty()) return {};
  // Every node along the way that carries the title is followed, in tree order.
  std::vector<uint32_t> found;
  std::vector<TreeRow> rows = TreeRows(doc);
  for (size_t level = 0; level < parts.size(); ++level) {
    std::vector<uint32_t> next;
    for (const TreeRow& row : rows)
      if ((level == 0 ? row.depth == 0
                      : std::find(found.begin(), found.end(), row.record.nParent) != found.end()) &&
          ShownTitle(row.record.strTitle) == parts[level])
        next.push_back(row.record.nIndex);
    found = std::move(next);
  }
  return found;
}

uint32_t FindNode(const CMarrowleafDoc& doc, const std::string& path) {
  std::vector<uint32_t> found = FindNodes(doc, path);
  return found.empty() ? 0 : found.front();
}

}  // namespace mlf::cli
