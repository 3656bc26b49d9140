#include "platform/codepage.h"

#ifndef _WIN32
#include <iconv.h>
#endif

#include <cerrno>
#include <functional>
#include <map>

namespace mlf {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five bytes Windows leaves undefined map to the C1
// controls of the same value, as MultiByteToWideChar does.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Decode1252(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? k1252High[byte - 0x80] : byte;
}

bool Encode1252(char32_t cp, char& out) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    out = static_cast<char>(cp);
    return true;
  }
  for (int i = 0; i < 32; ++i)
    if (k1252High[i] == cp) {
      out = static_cast<char>(0x80 + i);
      return true;
    }
  return false;
}

// Reads one code point of valid UTF-8 at pos, advancing pos; -1 when the bytes are not UTF-8.
long NextUtf8(std::string_view s, size_t& pos) {
  unsigned char c = static_cast<unsigned char>(s[pos]);
  int extra;
  char32_t cp;
  if (c < 0x80) { ++pos; return c; }
  if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
  else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
  else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
  else return -1;
  if (pos + extra >= s.size()) return -1;
  for (int i = 1; i <= extra; ++i) {
    unsigned char cc = static_cast<unsigned char>(s[pos + i]);
    if ((cc & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (cc & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  pos += extra + 1;
  return static_cast<long>(cp);
}

#ifndef _WIN32
std::string IconvName(unsigned codePage) {
  switch (codePage) {
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "CP949";
    case 950: return "BIG5";
    case 10000: return "MACINTOSH";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 54936: return "GB18030";
    case kCodePageUtf8: return "UTF-8";
    default:
      if (codePage >= 28591 && codePage <= 28605) return "ISO-8859-" + std::to_string(codePage - 28590);
      return "CP" + std::to_string(codePage);
  }
}

// The converters one thread opened, closed when the thread ends.
struct ConverterCache {
  std::map<std::pair<unsigned, bool>, iconv_t> converters;
  ~ConverterCache() {
    for (const auto& [key, cd] : converters)
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

// One converter per code page and direction, per thread (iconv_t keeps state).
iconv_t Converter(unsigned codePage, bool toUtf8) {
  thread_local ConverterCache cache;
  auto key = std::make_pair(codePage, toUtf8);
  auto it = cache.converters.find(key);
  if (it != cache.converters.end()) return it->second;
  std::string name = IconvName(codePage);
  iconv_t cd = toUtf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
  cache.converters.emplace(key, cd);
  return cd;
}

// Runs the whole input through the converter and then flushes what it holds back (a shift
// state, or the 1258 decoder's last letter waiting for a combining mark). At a sequence it
// cannot convert, onInvalid appends a replacement and returns true to skip one byte and go on,
// or returns false to give up.
bool RunConverter(iconv_t cd, std::string_view input, std::string& out,
                  const std::function<bool(std::string&)>& onInvalid) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      if (!onInvalid(out)) return false;
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  return true;
}
#endif

}  // namespace

unsigned SystemCodePage() { return 1252; }

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size())
    if (NextUtf8(text, pos) < 0) return false;
  return true;
}

std::string CodePageToUtf8(unsigned codePage, std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
#ifndef _WIN32
  if (codePage != 1252 && codePage != 0) {
    iconv_t cd = Converter(codePage, true);
    if (cd != reinterpret_cast<iconv_t>(-1)) {
      // An undefined or cut-off sequence becomes U+FFFD and its first byte is skipped.
      RunConverter(cd, bytes, out, [](std::string& text) {
        AppendUtf8(text, 0xFFFD);
        return true;
      });
      return out;
    }
  }
#endif
  for (unsigned char c : bytes) AppendUtf8(out, Decode1252(c));
  return out;
}

bool Utf8ToCodePage(unsigned codePage, std::string_view utf8, std::string& out) {
  out.clear();
  if (codePage == kCodePageUtf8) {
    out = utf8;
    return IsValidUtf8(utf8);
  }
  if (codePage == 1252 || codePage == 0) {
    size_t pos = 0;
    while (pos < utf8.size()) {
      long cp = NextUtf8(utf8, pos);
      char byte;
      if (cp < 0 || !Encode1252(static_cast<char32_t>(cp), byte)) return false;
      out += byte;
    }
    return true;
  }
#ifndef _WIN32
  iconv_t cd = Converter(codePage, false);
  if (cd == reinterpret_cast<iconv_t>(-1)) return Utf8ToCodePage(1252, utf8, out);
  return RunConverter(cd, utf8, out, [](std::string&) { return false; });  // a character that does not fit
#else
  return Utf8ToCodePage(1252, utf8, out);
#endif
}

std::string StoredTextToUtf8(std::string_view stored) {
  return IsValidUtf8(stored) ? std::string(stored) : CodePageToUtf8(SystemCodePage(), stored);
}

std::string Utf8ToStoredText(std::string_view utf8) {
  std::string out;
  return Utf8ToCodePage(SystemCodePage(), utf8, out) ? out : std::string(utf8);
}

}  // namespace mlf
