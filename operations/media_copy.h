#pragma once

#include "domain/outcome.h"
#include "operations/drives.h"
#include "store/workspace.h"

#include <QFileDevice>
#include <QStringList>

#include <functional>

namespace vastrel {

// Writes one block to a target file and returns how many bytes it took (fewer,
// or -1, when the medium is full or gone). Tests put a failing one in.
using BlockWriter = std::function<qint64(QFileDevice &target, const char *data, qint64 size)>;

// "загрузить для Гемтар на дискету / на флешку": copies the named estimates
// (the selected lines' names, in list order) to the medium's root in blocks of
// 2048 bytes, each followed by the whole list `lines` as the medium's
// departments.txt. A target that could not be written whole is dropped and
// the medium's older file of that name stays whole, so nothing there looks
// like a complete copy that is not one. Each copied estimate is reported on
// the way, so every message is shown here, the last one too; the outcome
// tells only whether the copy was done. An Error stops the copy and is thrown.
Outcome copyToMedium(const Workspace &workspace, const Medium &medium, const QStringList &lines,
                     const QStringList &names, MessageService &messages, const BlockWriter &writer = {});

} // namespace vastrel
