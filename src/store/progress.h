// The status-bar progress of long node reads and writes. The program shows it in its status
// bar; core code only reports.
#pragma once

#include <cstdint>
#include <string>

namespace mlf {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void SetText(const std::string& text) = 0;
  // Starts a bar of maximum steps labelled with the current text.
  virtual void BeginProgress(uint64_t maximum) = 0;
  virtual void StepProgress(uint64_t count) = 0;
};

}  // namespace mlf
