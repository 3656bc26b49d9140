// A small writer of one JSON document, enough for the tool's --json output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace mlf::cli {

class JsonWriter {
 public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Key(const std::string& key) {
    Separate();
    Quote(key);
    m_out += ':';
    m_afterKey = true;
    return *this;
  }
  JsonWriter& String(const std::string& value) {
    Separate();
    Quote(value);
    return *this;
  }
  JsonWriter& Number(int64_t value) {
    Separate();
    m_out += std::to_string(value);
    return *this;
  }
  JsonWriter& Bool(bool value) {
    Separate();
    m_out += value ? "true" : "false";
    return *this;
  }
  const std::string& Text() const { return m_out; }

 private:
  JsonWriter& Open(char c) {
    Separate();
    m_out += c;
    m_first = true;
    return *this;
  }
  JsonWriter& Close(char c) {
    m_out += c;
    m_first = false;
    return *this;
  }
  void Separate() {
    if (m_afterKey) {
      m_afterKey = false;
      return;
    }
    if (!m_first && !m_out.empty()) m_out += ',';
    m_first = false;
  }
  // Text must be UTF-8; control characters are escaped.
  void Quote(const std::string& text) {
    m_out += '"';
    for (unsigned char c : text) {
      if (c == '"' || c == '\\') {
        m_out += '\\';
        m_out += static_cast<char>(c);
      } else if (c < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", c);
        m_out += escape;
      } else {
        m_out += static_cast<char>(c);
      }
    }
    m_out += '"';
  }

  std::string m_out;
  bool m_first = true;
  bool m_afterKey = false;
};

}  // namespace mlf::cli
