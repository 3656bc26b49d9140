// Why a node's content could not be read: callers show the reason and never take the node as
// empty.
#pragma once

#include <string>

namespace mlf {

enum class ContentError {
  None,
  Damaged,        // the stored bytes fail their checks or cannot be decoded
  WrongPassword,  // no password or a wrong one for an encrypted node
  NoEncryption,   // the encryption module is missing or cannot serve the node's cipher
  NoContent,      // the node does not exist or has no content type (a folder)
  Unwritable,     // the target file could not be written
};

// "the stored data is damaged", "incorrect password", "no encryption module", ...
std::string ContentErrorText(ContentError error);

}  // namespace mlf
