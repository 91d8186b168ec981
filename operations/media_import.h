#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "operations/drives.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace vastrel {

// One estimate or file of the medium that was not taken, and why.
struct IntakeNote
{
    QString text;
    bool refusal = false; // a check refused it (as opposed to: nothing to do)
};

// What an intake did: how many estimates it took, what it passed over, and
// the error that stopped it, if one did (what was taken before it stays).
struct IntakeResult
{
    int taken = 0;
    QList<IntakeNote> notes;
    QString error;

    // "Принято смет: N." and one line per note.
    QString report() const;
    bool refusedAny() const;
};

// Asked for each estimate whose file in the base differs from the medium's;
// true lets the medium's file replace it.
using ReplaceConsent = std::function<bool(const QString &estimateName)>;

// Reads a whole file of the medium; throws an Error when it cannot. Tests put
// a failing one in.
using MediumReader = std::function<QByteArray(const QString &path)>;

// "принять сметы с носителя": takes the estimates listed in the medium's
// departments.txt (only those named in `names`, all when it is empty) into
// the base. Each file must be an estimate file under a safe name; it is
// written through a new file renamed into place, then its record (code and
// notes as on the medium) is added, or replaces the base's record of that
// name. An identical file is passed over; a different one is replaced only
// with consent. Nothing is shown: the caller shows the result.
IntakeResult importFromMedium(const Workspace &workspace, const Medium &medium, const QStringList &names,
                              const ReplaceConsent &consent, const MediumReader &reader = {});

// The question the window asks before a replacement.
QString replaceQuestion(const QString &estimateName);

// Shows the report (a refusal when any estimate was refused), then the error.
// True when nothing was refused and nothing failed.
bool showIntakeResult(const IntakeResult &result, MessageService &messages);

} // namespace vastrel
