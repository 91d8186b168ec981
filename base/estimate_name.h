#pragma once

#include <QString>

namespace vastrel {

// An estimate name is also the name of its file in the base directory.

// Refuses a name for a new estimate that could not be the same file name on
// every installation or could reach outside the base directory: path
// separators, "..", control characters, the characters Windows forbids in
// file names, a device name, blanks at either end, text without a
// Windows-1251 form. Returns the message to show, empty when the name is fine.
QString newEstimateNameProblem(const QString &name);

// Refuses a name for a new estimate whose file, or the temporary file that
// every save writes beside it first, would be too long a file name for the
// file system holding `baseDir`. Empty when the name is fine.
QString estimateFileNameLengthProblem(const QString &baseDir, const QString &name);

// Refuses a name taken from the table of contents only when its file would
// lie outside the base directory or the name cannot be a file name at all
// (separators, control characters). Names written by older installations
// otherwise stay usable.
QString storedEstimateNameProblem(const QString &name);

} // namespace vastrel
