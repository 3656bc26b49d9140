// The bytes the POSIX Env locks to emulate share modes, and the one that marks a temporary
// file as owned by a running process. They lie far beyond any real data, so locking them
// never blocks reading or writing the file itself.
#pragma once

#ifndef _WIN32

#include <sys/types.h>

namespace mlf::posix {

constexpr off_t kWriteLockByte = 0x7FFFFFFFFFFFFFF0LL;
constexpr off_t kReadLockByte = kWriteLockByte + 1;
// Held shared, through a descriptor of its own, by the process that made a temporary file for
// as long as the file is listed (see temp_file_list.h), even while no handle has it open.
constexpr off_t kOwnerLockByte = kWriteLockByte + 2;

// Takes (exclusive) or shares one byte's lock without waiting; false when another open file
// holds a conflicting lock. Locks belong to the open file description and go when it closes.
bool LockBytes(int fd, off_t first, off_t count, bool exclusive);

}  // namespace mlf::posix

#endif
