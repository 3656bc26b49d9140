#include "cli/note_tree.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

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
  std::vector<uint32_t> path;  // guards against parent cycles in damaged files
  std::function<void(uint32_t, int)> walk = [&](uint32_t parent, int depth) {
    auto it = levels.find(parent);
    if (it == levels.end()) return;
    for (const NTV* r : it->second) {
      rows.push_back({*r, depth});
      if (r->nType != ntFolder || std::find(path.begin(), path.end(), r->nIndex) != path.end()) continue;
      path.push_back(r->nIndex);
      walk(r->nIndex, depth + 1);
      path.pop_back();
    }
  };
  walk(0, 0);
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
  std::vector<uint32_t> found{0};
  std::vector<TreeRow> rows = TreeRows(doc);
  for (const std::string& part : parts) {
    std::vector<uint32_t> next;
    for (const TreeRow& row : rows)
      if (std::find(found.begin(), found.end(), row.record.nParent) != found.end() &&
          ShownTitle(row.record.strTitle) == part)
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
