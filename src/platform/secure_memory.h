// Memory that holds passwords and keys: wiped with zeros whenever it is released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mlf {

// Overwrites memory with zeros in a way the compiler may not drop.
void SecureZero(void* data, size_t size);

// Called whenever memory for a secret is taken: from then on the process writes no core dump,
// which would carry the secret to disk, and other processes of the user cannot read its memory.
void ForbidCoreDumps();

template <typename T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() = default;
  template <typename U>
  WipingAllocator(const WipingAllocator<U>&) {}
  T* allocate(size_t n) {
    ForbidCoreDumps();
    return static_cast<T*>(::operator new(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) {
    SecureZero(p, n * sizeof(T));
    ::operator delete(p);
  }
  template <typename U>
  bool operator==(const WipingAllocator<U>&) const { return true; }
};

using SecureBytes = std::vector<uint8_t, WipingAllocator<uint8_t>>;

// A password or other secret text. Unlike std::string it never keeps its characters in a
// small inline buffer, so every copy lives in wiped heap memory.
class SecureString {
 public:
  SecureString() = default;
  explicit SecureString(std::string_view text) : m_chars(text.begin(), text.end()) {}
  SecureString(const SecureString&) = default;
  SecureString(SecureString&& other) noexcept : m_chars(std::move(other.m_chars)) {}
  SecureString& operator=(const SecureString&) = default;
  SecureString& operator=(SecureString&& other) noexcept {
    m_chars = std::move(other.m_chars);
    return *this;
  }
  ~SecureString() { Clear(); }

  std::string_view view() const { return {m_chars.data(), m_chars.size()}; }
  const char* data() const { return m_chars.data(); }
  size_t size() const { return m_chars.size(); }
  bool empty() const { return m_chars.empty(); }
  void Clear() {
    SecureZero(m_chars.data(), m_chars.size());
    m_chars.clear();
  }
  bool operator==(const SecureString& other) const { return view() == other.view(); }

 private:
  std::vector<char, WipingAllocator<char>> m_chars;
};

}  // namespace mlf
