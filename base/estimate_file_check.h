#pragma once

#include <QStringList>

namespace vastrel {

// Whether lines read from a file are an estimate file of any of the system's
// three kinds (saved, new-estimate template, consolidated): the declaration,
// the root, the five-element header record, records of known elements one per
// line, the root's end and nothing after it. Returns the first fault found
// ("строка 7: …"), empty when the lines are an estimate file.
QString estimateFileProblem(const QStringList &lines);

} // namespace vastrel
