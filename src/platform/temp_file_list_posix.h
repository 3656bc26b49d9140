// The list of temporary files the POSIX Env made in this process, read by the handler of the
// signals that end the process (temp_files.h). Adding and removing happen on ordinary
// threads; reading happens in a signal handler, so the list is a chain of fixed slots that
// are never freed, published with atomics, and read without allocating or locking.
#pragma once

#ifndef _WIN32

#include <string>

namespace mlf::posix {

// A file that keeps its name until it is deleted or renamed away. The list opens it once
// more and shares its owner lock byte, so other processes see that it is in use even while
// no handle has it open.
void ListNamedTempFile(const std::string& path);
void UnlistNamedTempFile(const std::string& path);

// A file already removed from its folder that lives only as long as descriptor fd.
void ListUnnamedTempFile(int fd);
void UnlistUnnamedTempFile(int fd);

// Async-signal-safe: overwrites every listed file with zeros and removes the named ones.
void WipeListedTempFiles();

// Overwrites the open file with zeros (without moving the descriptor's position) and flushes
// it. Async-signal-safe.
void WipeDescriptor(int fd);

}  // namespace mlf::posix

#endif
