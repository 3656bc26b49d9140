#include "store/sibling_order.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace mlf {
namespace {

// Lower case in code page 1252, as the system's ANSI folding does.
unsigned char FoldCase(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
  if (c == 0x9F) return 0xFF;
  return c;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int CompareTitles(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int d = FoldCase(static_cast<unsigned char>(a[i])) - FoldCase(static_cast<unsigned char>(b[i]));
    if (d != 0) return d;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int32_t LeadingNumber(const std::string& title) {
  size_t i = 0;
  while (i < title.size() && IsSpace(title[i])) ++i;
  bool negative = false;
  if (i < title.size() && (title[i] == '+' || title[i] == '-')) negative = title[i++] == '-';
  int64_t value = 0;
  for (; i < title.size() && title[i] >= '0' && title[i] <= '9'; ++i) {
    value = value * 10 + (title[i] - '0');
    if (value > int64_t(INT_MAX) + 1) value = int64_t(INT_MAX) + 1;
  }
  if (negative) return value > int64_t(INT_MAX) ? INT_MIN : static_cast<int32_t>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int32_t>(value);
}

int CompareNodes(const NTV& a, const NTV& b, const SortOptions& options) {
  if (a.nType != b.nType && options.folderArrangement != 2) {
    int first = options.folderArrangement == 0 ? -1 : 1;
    if (a.nType == ntFolder) return first;
    if (b.nType == ntFolder) return -first;
  }
  if (options.sortFlags & 2) {
    int32_t na = LeadingNumber(a.strTitle), nb = LeadingNumber(b.strTitle);
    if (na != nb && na != 0 && nb != 0) return na < nb ? -1 : 1;  // always ascending
  }
  int titles = CompareTitles(a.strTitle, b.strTitle);
  return options.sortFlags & 1 ? -titles : titles;
}

size_t InsertPosition(const std::vector<const NTV*>& siblings, const NTV& node, const SortOptions& options) {
  size_t position = 0;
  for (size_t i = 0; i < siblings.size(); ++i) {
    if (CompareNodes(node, *siblings[i], options) < 0) break;
    position = i + 1;
  }
  return position;
}

std::unordered_map<uint32_t, std::vector<const NTV*>> OrderSiblings(const std::vector<const NTV*>& records,
                                                                    const SortOptions& options) {
  std::unordered_map<uint32_t, std::vector<const NTV*>> levels;
  for (const NTV* record : records) levels[record->nParent].push_back(record);
  for (auto& [parent, children] : levels) {
    // The comparison is transitive unless numbered and unnumbered titles meet on one level;
    // then inserting each node after its equals is exactly a stable sort.
    bool transitive = !(options.sortFlags & 2);
    if (!transitive) {
      size_t numbered = std::count_if(children.begin(), children.end(),
                                      [](const NTV* r) { return LeadingNumber(r->strTitle) != 0; });
      transitive = numbered == 0 || numbered == children.size();
    }
    if (transitive) {
      std::stable_sort(children.begin(), children.end(),
                       [&](const NTV* a, const NTV* b) { return CompareNodes(*a, *b, options) < 0; });
      continue;
    }
    std::vector<const NTV*> ordered;
    ordered.reserve(children.size());
    for (const NTV* child : children)
      ordered.insert(ordered.begin() + static_cast<ptrdiff_t>(InsertPosition(ordered, *child, options)), child);
    children = std::move(ordered);
  }
  return levels;
}

}  // namespace mlf
