// "/reg": registers the document type with the desktop the way this platform does it. On a
// freedesktop system that is a MIME type for *.mlf, a desktop entry that opens such files with
// the program, their icons, and a "New" template marrowle.mlf in the user's templates folder.
#pragma once

#include <QString>
#include <QStringList>

namespace mlf {

inline constexpr const char* kMimeType = "application/x-marrowleaf";
inline constexpr const char* kTemplateName = "marrowle.mlf";

// The user's templates folder: XDG_TEMPLATES_DIR of user-dirs.dirs, else ~/Templates.
QString TemplatesFolder();
// Writes the registration for the program at executable; the files written, in order. Stops
// silently at the first file that cannot be written, as a registration that cannot reach its
// key does.
QStringList RegisterShellNew(const QString& executable);

}  // namespace mlf
