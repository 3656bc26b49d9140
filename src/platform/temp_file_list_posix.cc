#ifndef _WIN32

#include "platform/temp_file_list_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/share_locks_posix.h"

namespace mlf::posix {
namespace {

enum SlotState : int { kFree, kBusy, kListed };

// One listed file. A slot is claimed (busy), filled, then published (listed); the handler
// reads only listed slots, and slots are reused but never freed.
struct Slot {
  std::atomic<int> state{kBusy};
  bool named = false;
  int fd = -1;  // named: the list's own descriptor holding the owner lock; unnamed: the file's
  dev_t device = 0;
  ino_t inode = 0;
  char path[PATH_MAX] = {};
  Slot* next = nullptr;
};

std::atomic<Slot*> g_head{nullptr};

Slot* ClaimSlot() {
  for (Slot* slot = g_head.load(std::memory_order_acquire); slot; slot = slot->next) {
    int expected = kFree;
    if (slot->state.compare_exchange_strong(expected, kBusy)) return slot;
  }
  Slot* slot = new Slot;
  slot->next = g_head.load(std::memory_order_acquire);
  while (!g_head.compare_exchange_weak(slot->next, slot, std::memory_order_acq_rel)) {
  }
  return slot;
}

void Publish(Slot* slot) { slot->state.store(kListed, std::memory_order_release); }

template <typename Match>
void Unlist(Match matches) {
  for (Slot* slot = g_head.load(std::memory_order_acquire); slot; slot = slot->next) {
    if (slot->state.load(std::memory_order_acquire) != kListed || !matches(*slot)) continue;
    int expected = kListed;
    if (!slot->state.compare_exchange_strong(expected, kBusy)) continue;
    if (slot->named) ::close(slot->fd);
    slot->fd = -1;
    slot->state.store(kFree, std::memory_order_release);
    return;
  }
}

}  // namespace

void ListNamedTempFile(const std::string& path) {
  if (path.size() >= PATH_MAX) return;
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !LockBytes(fd, kOwnerLockByte, 1, false)) {
    ::close(fd);
    return;
  }
  Slot* slot = ClaimSlot();
  slot->named = true;
  slot->fd = fd;
  slot->device = st.st_dev;
  slot->inode = st.st_ino;
  std::memcpy(slot->path, path.c_str(), path.size() + 1);
  Publish(slot);
}

void UnlistNamedTempFile(const std::string& path) {
  Unlist([&](const Slot& slot) { return slot.named && path == slot.path; });
}

void ListUnnamedTempFile(int fd) {
  Slot* slot = ClaimSlot();
  slot->named = false;
  slot->fd = fd;
  slot->path[0] = '\0';
  Publish(slot);
}

void UnlistUnnamedTempFile(int fd) {
  Unlist([&](const Slot& slot) { return !slot.named && slot.fd == fd; });
}

void WipeDescriptor(int fd) {
  static const char kZeros[65536] = {};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return;
  for (off_t done = 0; done < st.st_size;) {
    off_t left = st.st_size - done;
    size_t piece = left < off_t(sizeof kZeros) ? static_cast<size_t>(left) : sizeof kZeros;
    ssize_t n = ::pwrite(fd, kZeros, piece, done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += n;
  }
  ::fdatasync(fd);
}

void WipeListedTempFiles() {
  for (Slot* slot = g_head.load(std::memory_order_acquire); slot; slot = slot->next) {
    if (slot->state.load(std::memory_order_acquire) != kListed) continue;
    if (!slot->named) {
      WipeDescriptor(slot->fd);
      continue;
    }
    // Opened anew by name: the file is touched only while the name still leads to it.
    int fd = ::open(slot->path, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_dev == slot->device && st.st_ino == slot->inode) {
      WipeDescriptor(fd);
      ::unlink(slot->path);
    }
    ::close(fd);
  }
}

}  // namespace mlf::posix

#endif  // !_WIN32
