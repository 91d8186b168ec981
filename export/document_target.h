#pragma once

#include "store/workspace.h"

#include <QString>

namespace vastrel {

// Why a document may not be kept at `path`: its name does not end in .xlsx
// or .pdf, or it would take the place of the program's own files (the table
// of contents, the settings and their working files) or lie in the base
// directory, where every file is an estimate. A relative path is taken from
// the working directory and shown as given. Empty when it may.
QString documentTargetProblem(const Workspace &workspace, const QString &path);

} // namespace vastrel
