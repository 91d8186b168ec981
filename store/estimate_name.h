#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

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

// Names that differ only in letter case ("КАФЕДРА ФИЗИКИ", "Кафедра физики")
// are two files here but one on Windows and on a FAT or exFAT drive, where
// one estimate would replace the other.
class CaseVariants
{
public:
    void add(const QString &name);
    // A name already added that differs from `name` only in case; empty when none.
    QString variantOf(const QString &name) const;

private:
    QMultiHash<QString, QString> m_byFolded;
};

// The estimate names of the table-of-contents lines and of the files in the
// base directory ("<name>.xml", any case of the extension).
CaseVariants baseNameVariants(const QString &baseDir, const QStringList &tocLines);

// The refusal for a name that differs from an existing one only in case: the
// existing-file message, then why.
QString caseVariantMessage(const QString &name, const QString &existing);

} // namespace vastrel
