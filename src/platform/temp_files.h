// What happens to the temporary files of a process that does not end normally. The Env lists
// every temporary file it makes until the file is deleted or renamed away (the decrypted
// working copy of an encrypted file among them), so that:
// - a signal that ends the process first overwrites each listed file with zeros and removes it;
// - a later start can tell the left-overs of a killed run from files a running process uses.
#pragma once

#include <string>
#include <vector>

namespace mlf {

// Makes SIGINT, SIGTERM, SIGHUP and SIGPIPE overwrite and remove every listed temporary file,
// then end the process as the signal would have. A signal the process was started with
// ignored stays ignored. Called once, early, by each program.
void InstallTempFileCleanup();

// Overwrites with zeros and removes the files "MLFxxxxxx.tmp" in the temporary folder that
// belong to this user and that no running process holds. Returns their paths.
std::vector<std::string> RemoveStaleTempFiles();

}  // namespace mlf
