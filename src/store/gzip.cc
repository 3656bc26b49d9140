#include "store/gzip.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "platform/random.h"
#include "store/crc32.h"

namespace mlf {
namespace {

constexpr int kLevel = 6;
constexpr size_t kOneGoLimit = 8 * 1024 * 1024;
// Deflate expands at most about 1032 to 1; more expected output than that is a damaged record.
constexpr size_t kMaxExpansion = 1032;
constexpr uint8_t kFlagExtra = 4;
constexpr uint8_t kOsUnknown = 255;

void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

class GzipWriter::Stream {
 public:
  Stream() {
    if (deflateInit2(&m_z, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw std::runtime_error("deflateInit2 failed");
  }
  ~Stream() { deflateEnd(&m_z); }

  void Feed(const uint8_t* data, size_t size, bool finish, std::vector<uint8_t>& out) {
    m_z.next_in = const_cast<Bytef*>(data);
    m_z.avail_in = static_cast<uInt>(size);
    uint8_t buffer[64 * 1024];
    int rc;
    do {
      m_z.next_out = buffer;
      m_z.avail_out = sizeof buffer;
      rc = deflate(&m_z, finish ? Z_FINISH : Z_NO_FLUSH);
      out.insert(out.end(), buffer, buffer + (sizeof buffer - m_z.avail_out));
    } while (m_z.avail_out == 0 || (finish && rc != Z_STREAM_END));
  }

 private:
  z_stream m_z{};
};

GzipWriter::GzipWriter() {
  m_member = {0x1f, 0x8b, 8, kFlagExtra, 0, 0, 0, 0, 0, kOsUnknown};
  // XLEN = 20, then one subfield: "ML", its length 16, and 16 random bytes.
  uint8_t field[22] = {20, 0, 'M', 'L', 16, 0};
  FillRandom(field + 6, 16);
  m_member.insert(m_member.end(), std::begin(field), std::end(field));
}

GzipWriter::~GzipWriter() = default;

void GzipWriter::StartStreaming() {
  m_stream = std::make_unique<Stream>();
  m_stream->Feed(m_pending.data(), m_pending.size(), false, m_member);
  m_pending.clear();
  m_pending.shrink_to_fit();
}

void GzipWriter::ExpectLength(uint64_t contentLength) {
  if (contentLength <= kOneGoLimit) return;  // compressed in one go, into a buffer of its bound
  m_member.reserve(m_member.size() + compressBound(static_cast<uLong>(contentLength)) + 8);
}

void GzipWriter::Put(const void* data, size_t size) {
  // A piece may exceed uInt: feed it in parts.
  const auto* bytes = static_cast<const uint8_t*>(data);
  m_crc = Crc32Update(m_crc, bytes, size);
  m_size += size;
  if (m_stream) {
    for (size_t done = 0; done < size;) {
      size_t n = std::min<size_t>(size - done, 1u << 30);
      m_stream->Feed(bytes + done, n, false, m_member);
      done += n;
    }
    return;
  }
  m_pending.insert(m_pending.end(), bytes, bytes + size);
  if (m_pending.size() > kOneGoLimit) StartStreaming();
}

std::vector<uint8_t> GzipWriter::Finish() {
  if (m_stream) {
    m_stream->Feed(nullptr, 0, true, m_member);
    m_stream.reset();
  } else {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(kLevel);
    if (!compressor) throw std::bad_alloc();
    size_t header = m_member.size();
    m_member.resize(header + libdeflate_deflate_compress_bound(compressor, m_pending.size()));
    size_t n = libdeflate_deflate_compress(compressor, m_pending.data(), m_pending.size(), m_member.data() + header,
                                           m_member.size() - header);
    libdeflate_free_compressor(compressor);
    m_member.resize(header + n);
    m_pending.clear();
  }
  AppendLe32(m_member, m_crc);
  AppendLe32(m_member, static_cast<uint32_t>(m_size));
  return std::move(m_member);
}

namespace {

GunzipResult GunzipStreaming(const uint8_t* member, size_t size, size_t expectedLength) {
  GunzipResult result;
  z_stream z{};
  if (inflateInit2(&z, 15 + 16) != Z_OK) {
    result.error = "inflateInit2 failed";
    return result;
  }
  result.bytes.resize(std::min(expectedLength, size * kMaxExpansion + 64));
  size_t produced = 0;
  size_t consumed = 0;
  int rc = Z_OK;
  while (produced < expectedLength) {
    if (produced == result.bytes.size())
      result.bytes.resize(std::min(expectedLength, std::max<size_t>(result.bytes.size() * 2, 4096)));
    z.next_in = const_cast<Bytef*>(member + consumed);
    z.avail_in = static_cast<uInt>(std::min<size_t>(size - consumed, 1u << 30));
    z.next_out = result.bytes.data() + produced;
    z.avail_out = static_cast<uInt>(std::min<size_t>(result.bytes.size() - produced, 1u << 30));
    uInt inBefore = z.avail_in, outBefore = z.avail_out;
    rc = inflate(&z, Z_NO_FLUSH);
    consumed += inBefore - z.avail_in;
    produced += outBefore - z.avail_out;
    if (rc == Z_STREAM_END) break;
    if (rc == Z_BUF_ERROR && consumed == size) {
      result.error = "unexpected end of compressed data";
      break;
    }
    if (rc != Z_OK && rc != Z_BUF_ERROR) {
      result.error = z.msg ? z.msg : "corrupt compressed data";
      break;
    }
  }
  inflateEnd(&z);
  result.bytes.resize(produced);
  result.ok = result.error.empty();
  return result;
}

}  // namespace

GunzipResult Gunzip(const uint8_t* member, size_t size, size_t expectedLength) {
  if (expectedLength == 0) return {true, {}, {}};
  if (expectedLength <= size * kMaxExpansion + 64) {
    thread_local std::unique_ptr<libdeflate_decompressor, decltype(&libdeflate_free_decompressor)> decompressor(
        libdeflate_alloc_decompressor(), &libdeflate_free_decompressor);
    GunzipResult result;
    result.bytes.resize(expectedLength);
    size_t actualIn = 0, actualOut = 0;
    if (decompressor &&
        libdeflate_gzip_decompress_ex(decompressor.get(), member, size, result.bytes.data(), expectedLength, &actualIn,
                                      &actualOut) == LIBDEFLATE_SUCCESS &&
        actualOut == expectedLength) {
      result.ok = true;
      return result;
    }
  }
  // Damaged, longer or shorter than recorded: zlib tells what went wrong and stops where told.
  return GunzipStreaming(member, size, expectedLength);
}

}  // namespace mlf
