#include "exchange/content_reader.h"

#include <thread>
#include <vector>

#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"
#include "store/node_password.h"
#include "store/node_unlock.h"
#include "store/prompts.h"

namespace mlf {
namespace {

// While it lives, the integrity failures that reading reports on this thread (plain messages
// with an OK button) are noted instead of shown; everything else goes to the prompts it replaced.
class ReadProblemWatch final : public Prompts {
 public:
  ReadProblemWatch() : m_previous(AppPrompts()), m_thread(std::this_thread::get_id()) { SetAppPrompts(this); }
  ~ReadProblemWatch() override { SetAppPrompts(&m_previous); }
  ReadProblemWatch(const ReadProblemWatch&) = delete;
  ReadProblemWatch& operator=(const ReadProblemWatch&) = delete;

  MessageAnswer Message(const std::string& text, const std::string& caption, MessageIcon icon,
                        MessageButtons buttons) override {
    if (buttons != MessageButtons::Ok || std::this_thread::get_id() != m_thread)
      return m_previous.Message(text, caption, icon, buttons);
    m_problem = true;
    return MessageAnswer::Ok;
  }
  std::optional<PasswordAnswer> AskPassword(const PasswordRequest& request) override {
    return m_previous.AskPassword(request);
  }
  bool Problem() const { return m_problem; }

 private:
  Prompts& m_previous;
  std::thread::id m_thread;
  bool m_problem = false;
};

}  // namespace

std::string ReadNodeContent(CMarrowleafDoc& document, uint32_t nodeId,
                            const std::function<void(const char*, size_t)>& sink) {
  CMlfNode node(&document, nodeId);
  if (!node.HasContent()) return node.IsValid() ? std::string() : kDamagedData;
  ReadProblemWatch watch;
  CMlfNodeData* data = node.GetNodeDataForRead();
  uint64_t delivered = 0;
  if (data) {
    std::vector<char> buffer(64 * 1024);
    while (size_t n = data->Get(buffer.data(), buffer.size())) {
      sink(buffer.data(), n);
      delivered += n;
    }
  }
  // A stream that ends short of its recorded length lost bytes even when no check said so.
  if (!data || watch.Problem() || delivered != node.GetRawLength()) return kDamagedData;
  return {};
}

std::string UnlockNode(CMarrowleafDoc& document, uint32_t nodeId, bool& unlockedHere) {
  unlockedHere = false;
  CMlfNode node(&document, nodeId);
  if (!node.IsEncrypted() || node.HasPassword()) return {};
  if (!CanAccessEncryptedNode(document, nodeId)) return kNoEncryption;
  PasswordRequest request;
  request.document = &document;
  request.nodeId = nodeId;
  std::optional<PasswordAnswer> answer = AppPrompts().AskPassword(request);
  if (!answer) {
    AppPrompts().Message("Access Denied", kAppCaption, MessageIcon::Exclamation, MessageButtons::Ok);
    return kNoPassword;
  }
  if (!VerifyNodePassword(document, nodeId, answer->first)) {
    AppPrompts().Message("Incorrect password!", "User Authentication", MessageIcon::Exclamation, MessageButtons::Ok);
    return kIncorrectPassword;
  }
  node.SetPassword(true, answer->first);
  unlockedHere = true;
  return {};
}

void LockAgain(CMarrowleafDoc& document, uint32_t nodeId) {
  CMlfNode node(&document, nodeId);
  node.SetPassword(false, SecureString());
}

}  // namespace mlf
