// Converter programs found on the PATH, standing where the platform has no registered
// converter libraries: pandoc for the formats it reads and writes, LibreOffice for word
// processor files. Each run has a time limit and its output must be RTF to count.
#pragma once

#include <string>
#include <vector>

#include "convert/text_converter.h"

namespace mlf {

class Env;

// The converters of the programs present, for import or for export. Absent programs give none.
std::vector<CTextConverter> FindProgramConverters(bool forImport);

// Runs a program converter (kind Program) on source, writing target.
bool ConvertWithProgram(Env& env, const CTextConverter& converter, const std::string& source,
                        const std::string& target, bool toRtf);

}  // namespace mlf
