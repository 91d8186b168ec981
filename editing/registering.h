#pragma once

#include "domain/estimate.h"
#include "domain/outcome.h"
#include "store/workspace.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace vastrel {

// The estimate selector: whole table-of-contents lines and the chosen one (-1 none).
struct SelectorLines
{
    QStringList lines;
    int index = -1;
    QString selected() const { return index >= 0 && index < lines.size() ? lines.at(index) : QString(); }
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

// "сохранить изменения": the checks in order; then either the selected
// record gets the form's code and notes, or a new estimate is registered: its
// template file is written from `estimate`, its record appended to the table
// of contents and to `selector`. Changes to `form` and `estimate` (the income
// source chosen here) stand also when a check refuses. A refusal names the
// field that took the input focus last while the checks ran; one about the
// main window's income source ends the form, which cannot show it.
Outcome storeNewEstimate(const Workspace &workspace, NewEstimateForm &form, Estimate &estimate, SelectorLines &selector,
                         const QDate &today = QDate::currentDate());

} // namespace vastrel
