#pragma once

#include "domain/catalogue.h"

#include <QString>

#include <array>

namespace vastrel {

// The amounts of an estimate as the user typed them: the remainder, the
// income and the expense lines in catalogue order. Texts, not numbers: a
// save keeps what was typed, and a text that is no number is refused where
// it is converted.
struct EstimateEntries
{
    QString remainder;
    QString income;
    std::array<QString, ExpenseLineCount> expenses;

    QString &expense(const QString &shortCode);
    const QString &expense(const QString &shortCode) const;
};

// An estimate as the user draws it up: what a save writes, a show reads back
// and the breakdown document shows. Positions are those of the catalogue.
struct Estimate
{
    int incomeCode = -1; // income code 0..10, -1 none
    int source = -1;     // income source 0..10, -1 none
    QString legalStatus; // code "1", "3" or "2"; empty when none is chosen
    EstimateEntries entries;
};

// The two totals of a calculation, in the general format; empty when the
// entries changed since.
struct EstimateTotals
{
    QString income;
    QString expense;
};

} // namespace vastrel
