#include "store/content_error.h"

namespace mlf {

std::string ContentErrorText(ContentError error) {
  switch (error) {
    case ContentError::None: return {};
    case ContentError::Damaged: return "the stored data is damaged";
    case ContentError::WrongPassword: return "incorrect password";
    case ContentError::NoEncryption: return "no encryption module";
    case ContentError::NoContent: return "the node has no content";
    case ContentError::Unwritable: return "the file could not be written";
  }
  return {};
}

}  // namespace mlf
