// mlf search: the nodes whose titles, keywords or note text hold the query.
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "cli/note_tree.h"
#include "exchange/content_reader.h"
#include "platform/text_case.h"
#include "rtf/plain_text.h"
#include "search/node_search.h"
#include "search/query.h"

namespace mlf::cli {
namespace {

struct ContextLine {
  size_t number;  // from 1
  std::string text;
  bool match;
};

// The lines of a note's text that hold a word of the query, each with up to context lines
// around it; the words are marked **so**. Empty for other nodes and unreadable content.
std::vector<ContextLine> MatchingLines(CMarrowleafDoc& doc, uint32_t id, const std::vector<std::string>& words,
                                       size_t context) {
  NTV record;
  if (!doc.Data_GetItem(id, record) || record.nType != ntNote || (record.nFlags & kNodeEncrypted)) return {};
  std::string rtf;
  if (!ReadNodeContent(doc, id, [&](const char* p, size_t n) { rtf.append(p, n); }).empty()) return {};
  std::vector<std::string> lines;
  std::istringstream text(rtf::RtfToPlainText(rtf));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  std::vector<bool> match(lines.size()), shown(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string lower = LowerUtf8(lines[i]);
    for (const std::string& word : words) match[i] = match[i] || lower.find(word) != std::string::npos;
    for (size_t j = i >= context ? i - context : 0; match[i] && j <= std::min(i + context, lines.size() - 1); ++j)
      shown[j] = true;
  }
  std::vector<ContextLine> result;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!shown[i]) continue;
    std::string marked = lines[i], lower = LowerUtf8(lines[i]);
    if (match[i] && lower.size() == marked.size()) {  // folding kept the byte offsets
      std::vector<bool> inside(lower.size());
      for (const std::string& word : words)
        for (size_t at = lower.find(word); !word.empty() && at != std::string::npos; at = lower.find(word, at + 1))
          std::fill(inside.begin() + at, inside.begin() + at + word.size(), true);
      marked.clear();
      for (size_t k = 0; k < lower.size(); ++k) {
        if (inside[k] && (k == 0 || !inside[k - 1])) marked += "**";
        marked += lines[i][k];
        if (inside[k] && (k + 1 == lower.size() || !inside[k + 1])) marked += "**";
      }
    }
    result.push_back({i + 1, marked, match[i]});
  }
  return result;
}

}  // namespace

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
  if (std::optional<std::string> around = context.options.Value("--context")) {
    char* end = nullptr;
    long lines = std::strtol(around->c_str(), &end, 10);
    if (around->empty() || *end || lines < 0) {
      std::cerr << "--context takes a number of lines\n";
      return kExitUsage;
    }
    std::vector<std::string> words = QueryWords(query.text, query.mode);
    JsonWriter json;
    json.BeginArray();
    for (uint32_t id : ids) {
      std::string path = ShownTitle(doc->Data_GetItemPath(id));
      std::vector<ContextLine> found = MatchingLines(*doc, id, words, static_cast<size_t>(lines));
      if (context.options.Has("--json")) {
        json.BeginObject().Key("id").Number(id).Key("path").String(path).Key("lines").BeginArray();
        for (const ContextLine& line : found)
          json.BeginObject().Key("line").Number(static_cast<int64_t>(line.number)).Key("text").String(line.text)
              .Key("match").Bool(line.match).EndObject();
        json.EndArray().EndObject();
        continue;
      }
      std::cout << "#" << id << " " << path << "\n";
      size_t previous = 0;
      for (const ContextLine& line : found) {
        if (previous && line.number > previous + 1) std::cout << "  --\n";
        std::cout << "  " << line.number << (line.match ? ": " : "- ") << line.text << "\n";
        previous = line.number;
      }
    }
    if (context.options.Has("--json")) std::cout << json.EndArray().Text() << "\n";
    return ids.empty() ? kExitProblem : kExitOk;
  }
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
