// An open file of the platform layer. Every operating-system failure throws FileError,
// which open and save catch once at their top.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace mlf {

class FileError : public std::runtime_error {
 public:
  FileError(std::string path, const std::string& what, int code = 0)
      : std::runtime_error(what + ": " + path), m_path(std::move(path)), m_code(code) {}
  const std::string& path() const { return m_path; }
  // The operating system's error number, 0 when there is none.
  int code() const { return m_code; }

 private:
  std::string m_path;
  int m_code;
};

enum class FileAccess { Read, ReadWrite };

enum class FileCreation {
  OpenExisting,  // fails when missing
  OpenOrCreate,  // never truncates
  CreateAlways,  // creates or truncates
  CreateNew,     // fails when present
};

// What other openers may do while this handle is open.
enum class FileShare {
  Exclusive,      // nobody else may open the file
  ShareRead,      // others may read, nobody else may write
  ShareReadWrite, // others may read and write (only for handles that read)
};

class File {
 public:
  virtual ~File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  virtual const std::string& Path() const = 0;
  // Reads up to size bytes at the current position; fewer only at end of file.
  virtual size_t Read(void* data, size_t size) = 0;
  // Reads up to size bytes at offset; fewer only at end of file. Where the file position is
  // afterwards is unspecified (it stays where it was where the system reads at an offset).
  virtual size_t ReadAt(uint64_t offset, void* data, size_t size) {
    Seek(offset);
    return Read(data, size);
  }
  // Writes all bytes or throws (a full disk is an error, never a short write).
  virtual void Write(const void* data, size_t size) = 0;
  virtual void Seek(uint64_t offset) = 0;
  virtual uint64_t Tell() = 0;
  virtual uint64_t Size() = 0;
  virtual void Truncate(uint64_t size) = 0;
  // Makes everything written so far durable (fsync).
  virtual void Sync() = 0;
  // The operating system's descriptor, -1 for a file that has none (in memory).
  virtual int Descriptor() const { return -1; }

  // Reads exactly size bytes or throws FileError("unexpected end of file").
  void ReadExact(void* data, size_t size);
  void ReadExactAt(uint64_t offset, void* data, size_t size);
  void WriteString(const std::string& bytes) { Write(bytes.data(), bytes.size()); }

 protected:
  File() = default;
};

}  // namespace mlf
