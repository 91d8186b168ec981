#pragma once

#include "domain/estimate.h"
#include "domain/outcome.h"
#include "store/workspace.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace vastrel {

// What registering changed in the table of contents, for a list of its
// lines to follow: the new estimate's record appended, or the table as written
// with the selected record changed at `changedAt`.
struct TocChange
{
    QString appended;
    QStringList written;
    int changedAt = -1;
};

// What the new-estimate window holds.
struct NewEstimateForm
{
    QString name;
    QString notes;
    int source = -1;                      // index in the window's income-source list, -1 none
    QString code = QStringLiteral("000"); // the masked field's text, blanks included
    bool nameEnabled = true;
};

// "показать ": fills the form from the table-of-contents record whose line is
// selected in the main window and locks the name, so that storing changes
// that record's code and notes. Nothing happens without a selection (empty).
void loadSelectedRecord(const Workspace &workspace, const QString &selectedLine, NewEstimateForm &form);

// "сохранить изменения": the checks in order; then either the record of
// `selectedLine` (the main window's selected line) gets the form's code and
// notes, or a new estimate is registered: its template file is written from
// `estimate` and its record appended to the table of contents. `change` tells
// which. Changes to `form` and `estimate` (the income source chosen here)
// stand also when a check refuses. A refusal names the field that took the
// input focus last while the checks ran; one about the main window's income
// source ends the form, which cannot show it.
Outcome storeNewEstimate(const Workspace &workspace, NewEstimateForm &form, Estimate &estimate,
                         const QString &selectedLine, TocChange &change, const QDate &today = QDate::currentDate());

} // namespace vastrel
