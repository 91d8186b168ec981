#pragma once

#include <QString>
#include <QStringList>

namespace vastrel {

// The largest estimate file taken from outside the base (a medium, a link):
// the system's own are a few kilobytes, so anything near this is no estimate.
constexpr qint64 MaxEstimateFileBytes = 1024 * 1024;
// The same in the words of a message.
inline QString maxEstimateFileText() { return QStringLiteral("1 МБ"); }

// Whether lines read from a file are an estimate file of any of the system's
// three kinds (saved, new-estimate template, consolidated): the declaration,
// the root, the five-element header record, records of known elements one per
// line, the root's end and nothing after it. Returns the first fault found
// ("строка 7: …"), empty when the lines are an estimate file.
QString estimateFileProblem(const QStringList &lines);

} // namespace vastrel
