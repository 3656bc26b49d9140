// The temporary files a document window leaves for its views (the pages of HTML nodes): they
// must outlive the view that shows them, because the browser reads them late, and go when
// the window closes. Their content was a node's, perhaps an encrypted one, so each is
// overwritten with zeros before it is deleted.
#pragma once

#include <string>
#include <vector>

namespace mlf {

class Env;

class TemporaryFiles {
 public:
  explicit TemporaryFiles(Env& env) : m_env(env) {}
  ~TemporaryFiles();
  TemporaryFiles(const TemporaryFiles&) = delete;
  TemporaryFiles& operator=(const TemporaryFiles&) = delete;

  void Add(const std::string& path) { m_paths.push_back(path); }
  const std::vector<std::string>& Paths() const { return m_paths; }

 private:
  Env& m_env;
  std::vector<std::string> m_paths;
};

}  // namespace mlf
