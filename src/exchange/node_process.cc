#include "exchange/node_process.h"

#include <chrono>

namespace mlf {

CNodeProcess::~CNodeProcess() { Join(); }

void CNodeProcess::SetStatusText(const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_status = text;
}

void CNodeProcess::SetDetailText(const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_detail = text;
}

void CNodeProcess::SetProgress(float fraction) {
  std::lock_guard lock(m_mutex);
  m_progress = fraction;
}

bool CNodeProcess::IsCancelled() const {
  std::lock_guard lock(m_mutex);
  return m_cancel;
}

MessageAnswer CNodeProcess::Ask(const std::string& text, MessageButtons buttons, MessageIcon icon,
                                const std::string& caption) {
  std::unique_lock lock(m_mutex);
  m_question = ProcessQuestion{text, caption, buttons, icon};
  // The answer arrives from the driver; no lock is held while the user thinks.
  m_answered.wait(lock, [&] { return !m_question; });
  return m_answer;
}

void CNodeProcess::Start() {
  std::lock_guard lock(m_mutex);
  if (m_started) return;
  m_started = true;
  m_cancel = false;
  m_worker = std::thread([this] {
    Run();
    std::lock_guard done(m_mutex);
    m_finished = true;
  });
}

bool CNodeProcess::IsFinished() const {
  std::lock_guard lock(m_mutex);
  return m_finished;
}

float CNodeProcess::GetProgress() const {
  std::lock_guard lock(m_mutex);
  return m_progress;
}

std::string CNodeProcess::GetStatusText() const {
  std::lock_guard lock(m_mutex);
  return m_status;
}

std::string CNodeProcess::GetDetailText() const {
  std::lock_guard lock(m_mutex);
  return m_detail;
}

std::optional<ProcessQuestion> CNodeProcess::GetQuestion() const {
  std::lock_guard lock(m_mutex);
  return m_question;
}

void CNodeProcess::Answer(MessageAnswer answer) {
  {
    std::lock_guard lock(m_mutex);
    m_answer = answer;
    m_question.reset();
  }
  m_answered.notify_all();
}

void CNodeProcess::SetCancel(bool cancel) {
  std::lock_guard lock(m_mutex);
  m_cancel = cancel;
}

void CNodeProcess::Join() {
  if (m_worker.joinable()) m_worker.join();
}

void CNodeBatchProcess::SetCount(uint32_t count) {
  std::lock_guard lock(m_mutex);
  m_count = count;
  if (count) m_progress = static_cast<float>(m_index) / static_cast<float>(count);
}

void CNodeBatchProcess::SetIndex(uint32_t index) {
  std::lock_guard lock(m_mutex);
  m_index = index;
  if (m_count) m_progress = static_cast<float>(index) / static_cast<float>(m_count);
}

void CNodeBatchProcess::Step() {
  std::lock_guard lock(m_mutex);
  ++m_index;
  if (m_count) m_progress = static_cast<float>(m_index) / static_cast<float>(m_count);
}

uint32_t CNodeBatchProcess::GetIndex() const {
  std::lock_guard lock(m_mutex);
  return m_index;
}

uint32_t CNodeBatchProcess::GetCount() const {
  std::lock_guard lock(m_mutex);
  return m_count;
}

bool ProcessDriver::Tick() {
  if (std::optional<ProcessQuestion> question = m_process.GetQuestion(); question && !m_asking) {
    m_asking = true;
    std::string caption = question->caption.empty() ? "Quarn Marrowleaf" : question->caption;
    m_process.Answer(m_prompts.Message(question->text, caption, question->icon, question->buttons));
    m_asking = false;
  }
  return m_process.IsFinished();
}

void ProcessDriver::RunToEnd() {
  m_process.Start();
  while (!Tick()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  m_process.Join();
}

}  // namespace mlf
