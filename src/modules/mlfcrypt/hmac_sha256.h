// HMAC-SHA256 of a fixed label and a 32-bit id, the building block of the IV, the test
// block and the key salts.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace mlf::mlfcrypt {

inline constexpr size_t kSha256Length = 32;
using Sha256Digest = std::array<uint8_t, kSha256Length>;

// The label's bytes followed by id in little-endian order: the message for the labelled HMACs.
// Limited to short labels.
struct LabelledMessage {
  LabelledMessage(std::string_view label, uint32_t id);
  std::span<const uint8_t> bytes() const { return {data.data(), size}; }
  std::array<uint8_t, 64> data{};
  size_t size = 0;
};

// False when OpenSSL fails; out is then zeroed.
bool HmacSha256(std::span<const uint8_t> key, std::span<const uint8_t> message, Sha256Digest& out);

}  // namespace mlf::mlfcrypt
