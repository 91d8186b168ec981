#pragma once

#include "domain/error.h"
#include "domain/messages.h"
#include "domain/outcome.h"
#include "operations/drives.h"
#include "store/text_file.h"
#include "store/workspace.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vastrel {

// What an intake did: how many estimates it took and passed over, why it
// refused the others, which records and files had no partner. It is filled as
// the intake goes, so it also tells what was taken before an Error stopped it.
struct IntakeReport
{
    int taken = 0;
    int identical = 0;         // already in the base, byte for byte
    QStringList refusals;      // one text per estimate or record refused
    QStringList withoutFile;   // records of the medium whose file is not on it
    QStringList withoutRecord; // files of the medium that no record names

    // One line of counts, then the first refusals.
    QString text() const;
    // The full lists behind the counts: for the message's details and `--verbose`.
    QString details() const;
    bool refusedAny() const { return !refusals.isEmpty(); }
    // Done when nothing was refused, a refusal otherwise; the message is the
    // text, with the details after it when asked for.
    Outcome outcome(bool withDetails = false) const;
};

// Asked for each estimate whose file in the base differs from the medium's;
// true lets the medium's file replace it.
using ReplaceConsent = std::function<bool(const QString &estimateName)>;

// Reads one file of the medium as readUntrustedFile does. Tests put a failing one in.
using MediumReader = std::function<UntrustedFile(const QString &path, qint64 cap)>;

// The largest table of contents taken from a medium ("64 МБ" in messages).
constexpr qint64 MaxMediumTocBytes = 64 * 1024 * 1024;

// "принять сметы с носителя": takes the estimates listed in the medium's
// departments.txt (only those named in `names`, all when it is empty) into
// the base. Only regular files of the medium are read, never through a link.
// Each must be an estimate file under a safe name; it is written through a
// new file renamed into place (a link in the base is replaced, not written
// through), and its record (code and notes as on the medium) is added or
// replaces the base's record of that name. The table of contents is written
// once at the end, or when an error stops the intake; when that fails the
// files taken go back to what they were. An identical file is passed over; a
// different one is replaced only with consent. A file that was on the medium
// when the intake began and is gone, or a medium changed meanwhile, stops it:
// the Error is thrown, and what was taken before it stays taken. Nothing is
// shown; `report` tells what was done.
void runIntake(const Workspace &workspace, const Medium &medium, const QStringList &names,
               const ReplaceConsent &consent, IntakeReport &report, const MediumReader &reader = {});

// The intake as the windows and vastrel run it: its report is shown (with the
// details when asked for), also when an Error stops the intake, which is then
// thrown after it. Every message is shown here; the outcome tells only whether
// every estimate was taken.
Outcome importFromMedium(const Workspace &workspace, const Medium &medium, const QStringList &names,
                         const ReplaceConsent &consent, MessageService &messages, bool withDetails = false,
                         const MediumReader &reader = {});

// The question the window asks before a replacement.
QString replaceQuestion(const QString &estimateName);

} // namespace vastrel
