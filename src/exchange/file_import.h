// Import of one file as a node, deciding its kind the way a user expects: HTML files become
// HTML pages, documents a converter takes become notes, pictures the image layer decodes become
// images, and every other file is attached as foreign data. Says what it did, or why it did not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "store/node_record.h"

namespace mlf {

class CMarrowleafDoc;

struct FileImport {
  uint32_t id = 0;       // the new node; 0 when the file was skipped
  uint8_t type = 0;      // its node type
  std::string reason;    // why it was skipped, or why it was attached and not taken as its name says
};

// The node type a name given by the user stands for ("note", "image", "html", "file").
std::optional<uint8_t> ImportTypeNamed(const std::string& name);

// Makes a node of the file under parent. forced makes it that type or nothing. The title is the
// file's name, without its extension unless keepExtension.
FileImport ImportFile(CMarrowleafDoc& document, const std::string& path, uint32_t parent,
                      std::optional<uint8_t> forced, bool keepExtension);

// What the node type is called in messages: "a note", "an image", "an HTML page", "a file".
const char* ImportedAs(uint8_t type);

}  // namespace mlf
