// Document operations from several threads at once, as the search and the import and export
// workers run them beside the user's thread. Run under ThreadSanitizer to find races; without
// it the test still proves that no operation hands out memory another thread may free.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "support/scripted_prompts.h"

namespace mlf {
namespace {

// The smallest GIF: one transparent pixel.
const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
                       "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                       43);

bool WriteNote(CMarrowleafDoc& doc, uint32_t id, const std::string& text) {
  CMlfNode node(&doc, id);
  CMlfNodeData* data = node.GetNodeDataForWrite(true);
  if (!data) return false;
  data->Put(text.data(), text.size());
  return data->Finish();
}

TEST(DocumentConcurrencyTest, ReadsWritesCollectionsAndLogoFromSeveralThreads) {
  MemEnv env;
  env.CreateDirectory("/in");
  env.PutFile("/in/logo.gif", kGif);
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts scope(prompts);
  CMarrowleafDoc doc(env);
  std::vector<uint32_t> notes;
  for (int i = 0; i < 8; ++i) {
    CMlfNode node;
    node.Create(&doc, ntNote, ("note " + std::to_string(i)).c_str(), 0);
    ASSERT_TRUE(WriteNote(doc, node.GetId(), "content " + std::to_string(i)));
    notes.push_back(node.GetId());
  }

  constexpr int kRounds = 200;
  std::atomic<int> failures{0};
  auto fail = [&] { ++failures; };
  std::vector<std::thread> threads;
  threads.emplace_back([&] {  // reads, as search does
    for (int r = 0; r < kRounds; ++r)
      for (uint32_t id : notes) {
        auto content = doc.Data_ReadContent(id);
        if (!content || std::string(content->begin(), content->end()).rfind("content", 0) != 0) fail();
        std::vector<uint32_t> all;
        doc.Data_GetChildren(0, all);
      }
  });
  threads.emplace_back([&] {  // writes and new nodes, as import does
    for (int r = 0; r < kRounds; ++r) {
      if (!WriteNote(doc, notes[r % notes.size()], "content rewritten " + std::to_string(r))) fail();
      CMlfNode node;
      node.Create(&doc, ntFolder, "made", 0);
      if (r % 3 == 0) doc.Data_DeleteItem(node.GetId());
    }
  });
  threads.emplace_back([&] {  // collections
    for (int r = 0; r < kRounds; ++r) {
      uint32_t node = notes[r % notes.size()];
      MLFNODEKEYWORDS entry{node, {doc.FindOrAddKeyword("word " + std::to_string(r % 5))}};
      doc.SetNodeKeywords(node, entry);
      MLFBOOKMARK bookmark;
      doc.GetBookmark(doc.AddBookmark(), bookmark);
      bookmark.nNode = node;
      doc.SetBookmark(bookmark.nId, bookmark);
      MLFTASK task;
      doc.GetTask(doc.NewTask(), task);
      task.nNode = node;
      task.nFlags = kTaskAttached;
      doc.SetTask(task, true);
      if (r % 2) doc.DeleteTask(task.nId);
      doc.EnumBookmarks([](const MLFBOOKMARK&) {});
    }
  });
  threads.emplace_back([&] {  // the logo changes while another thread draws it
    for (int r = 0; r < kRounds; ++r) {
      if (r % 2) doc.ClearLogo();
      else if (!doc.SetLogoFromFile("/in/logo.gif")) fail();
    }
  });
  threads.emplace_back([&] {
    for (int r = 0; r < 4 * kRounds; ++r) {
      Bitmap logo = doc.GetLogoBitmap();
      if (logo.Width() != 1 && logo.Width() != 128) fail();
    }
  });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace mlf
