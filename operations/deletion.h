#pragma once

#include "domain/outcome.h"
#include "store/workspace.h"

#include <QStringList>

#include <functional>

namespace vastrel {

// "удалить смету": exactly one table-of-contents line must be selected before
// the confirmation is asked; refuses otherwise.
Outcome checkDeletionSelection(const QStringList &selected);

// The points a deletion passes; a test can stop it at one of them (by
// throwing) to see what the files hold then.
enum class DeletionStep {
    WorkFileWritten, // departments_d.txt holds every kept line
    EstimateRemoved, // after each selected estimate's file is gone
};
using DeletionProbe = std::function<void(DeletionStep)>;

// "да": removes the files of the estimates of the selected lines (of `lines`,
// the list as shown, in its order) and replaces departments.txt by the kept
// lines, in their order. The kept lines go to departments_d.txt first, which
// then is renamed over departments.txt, so a failure at any point leaves the
// old table of contents whole (estimate files already removed stay removed).
// A missing estimate file is passed over. The caller refills its lists afterwards.
void deleteEstimates(const Workspace &workspace, const QStringList &lines, const QStringList &selected,
                     const DeletionProbe &probe = {});

// Renames `from` over `to` in one step, so `to` is never missing. Returns
// false, with the system's reason, when the file system refuses.
bool replaceFile(const QString &from, const QString &to, QString *reason = nullptr);

} // namespace vastrel
