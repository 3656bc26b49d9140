// The worker side of a long export or import: it runs on its own thread and hands progress,
// status texts, the cancel request and every question to the user over to the thread that
// shows them, through fields guarded by the process's mutex. ProcessDriver is that other side.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "store/prompts.h"

namespace mlf {

class CMarrowleafDoc;

struct ProcessQuestion {
  std::string text;
  std::string caption;  // the program's name when empty
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
};

class CNodeProcess {
 public:
  explicit CNodeProcess(CMarrowleafDoc& document) : m_document(document) {}
  virtual ~CNodeProcess();
  CNodeProcess(const CNodeProcess&) = delete;
  CNodeProcess& operator=(const CNodeProcess&) = delete;

  // Worker side.
  void SetStatusText(const std::string& text);
  void SetDetailText(const std::string& text);
  void SetProgress(float fraction);
  bool IsCancelled() const;
  // Puts the question to the user and waits for the answer.
  MessageAnswer Ask(const std::string& text, MessageButtons buttons, MessageIcon icon,
                    const std::string& caption = {});

  // Driver side.
  // Starts Run on a worker thread, once.
  void Start();
  bool IsFinished() const;
  float GetProgress() const;
  std::string GetStatusText() const;
  std::string GetDetailText() const;
  std::optional<ProcessQuestion> GetQuestion() const;
  void Answer(MessageAnswer answer);
  void SetCancel(bool cancel);
  // Waits for the worker to end.
  void Join();

 protected:
  virtual void Run() = 0;
  CMarrowleafDoc& m_document;
  mutable std::mutex m_mutex;
  float m_progress = 0;

 private:
  std::condition_variable m_answered;
  bool m_finished = false;
  bool m_started = false;
  bool m_cancel = false;
  std::optional<ProcessQuestion> m_question;
  MessageAnswer m_answer = MessageAnswer::Cancel;
  std::string m_status, m_detail;
  std::thread m_worker;
};

// A process that counts the items it has done.
class CNodeBatchProcess : public CNodeProcess {
 public:
  using CNodeProcess::CNodeProcess;
  void SetCount(uint32_t count);
  void SetIndex(uint32_t index);
  void Step();
  uint32_t GetIndex() const;
  uint32_t GetCount() const;

 private:
  uint32_t m_index = 0;
  uint32_t m_count = 0;
};

// Drives a process from the thread that talks to the user: shows its questions through the
// prompts and reports its progress. The program calls Tick from a 50 ms timer; the
// command-line tool calls RunToEnd.
class ProcessDriver {
 public:
  ProcessDriver(CNodeProcess& process, Prompts& prompts) : m_process(process), m_prompts(prompts) {}
  // One poll: answers a pending question; true once the process has finished.
  bool Tick();
  // Starts the process and polls it until it has finished.
  void RunToEnd();

 private:
  CNodeProcess& m_process;
  Prompts& m_prompts;
  bool m_asking = false;
};

}  // namespace mlf
