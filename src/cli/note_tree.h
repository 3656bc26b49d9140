// The nodes of an open document in the order the node tree shows them, and node lookup by
// "//A/B" path or "#id".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/document.h"

namespace mlf::cli {

struct TreeRow {
  NTV record;
  int depth = 0;
};

std::vector<TreeRow> TreeRows(const CMarrowleafDoc& doc);
// The nodes "#12" or "//Folder/Note" (titles as shown, UTF-8) names, in tree order.
std::vector<uint32_t> FindNodes(const CMarrowleafDoc& doc, const std::string& path);
// The first of them; 0 when none matches.
uint32_t FindNode(const CMarrowleafDoc& doc, const std::string& path);
// A title for the terminal (UTF-8).
std::string ShownTitle(const std::string& stored);

}  // namespace mlf::cli
