// mlf search: the nodes whose titles, keywords or note text hold the query.
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/note_tree.h"
#include "search/node_search.h"

namespace mlf::cli {

int RunSearch(Context& context) {
  SearchQuery query;
  query.text = TrimSpaces(context.options.arguments[1]);
  std::string mode = context.options.Value("--mode").value_or("all");
  if (mode == "all") query.mode = SearchMode::AllWords;
  else if (mode == "any") query.mode = SearchMode::AnyWords;
  else if (mode == "exact") query.mode = SearchMode::ExactPhrase;
  else {
    std::cerr << "--mode is all, any or exact\n";
    return kExitUsage;
  }
  if (std::optional<std::string> in = context.options.Value("--in")) {
    query.titles = in->find("titles") != std::string::npos;
    query.keywords = in->find("keywords") != std::string::npos;
    query.content = in->find("content") != std::string::npos;
    if (!query.titles && !query.keywords && !query.content) {
      std::cerr << "--in takes titles, keywords and content, separated by commas\n";
      return kExitUsage;
    }
  }
  if (query.text.empty()) {
    std::cerr << "Please enter a query\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(context.options.arguments[0]);
  if (!doc) return kExitUsage;
  std::vector<uint32_t> ids = NodeSearch::Run(*doc, query);
  if (context.options.Has("--json")) {
    JsonWriter json;
    json.BeginArray();
    for (uint32_t id : ids) json.Number(id);
    json.EndArray();
    std::cout << json.Text() << "\n";
  } else {
    for (uint32_t id : ids) std::cout << "#" << id << " " << ShownTitle(doc->Data_GetItemPath(id)) << "\n";
  }
  return ids.empty() ? kExitProblem : kExitOk;
}

}  // namespace mlf::cli
