#pragma once

#include "domain/outcome.h"
#include "store/workspace.h"

#include <QStringList>

namespace vastrel {

// The estimate name an entry of the base directory stands for: its name up to
// the first ".xml" (case-sensitive); empty when there is none.
QString estimateNameOfEntry(QStringView entryName);

// The names in the base directory, of every kind (files, hidden and system
// files, subdirectories), without "." and "..". They come sorted by name
// without regard to case (ties by exact name), the order in which NTFS lists
// a directory, so a rebuild numbers the same base the same way on every
// system and file system.
QStringList baseDirectoryEntries(const Workspace &workspace);

// The names sorted without regard to case, ties by exact name.
QStringList sortedWithoutCase(const QStringList &names);

// The table of contents a rebuild writes for those entries, in their order:
// number "|" name "|". A name that no record can hold (no Windows-1251 form,
// a line break or "|") is left out.
QStringList rebuiltTocLines(const QStringList &entryNames);

// "восстановление оглавления базы ": replaces departments.txt by the records
// rebuilt from the base directory. A missing base directory is refused, and
// one that cannot be read to its end is an error; both leave the table of
// contents as it is. Done when the file was replaced; its message then names
// the entries left out, if any.
Outcome rebuildToc(const Workspace &workspace);

} // namespace vastrel
