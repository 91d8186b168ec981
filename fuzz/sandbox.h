#pragma once

#include "domain/messages.h"
#include "store/workspace.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace vastrel::fuzz {

// A workspace of its own for the whole run: "work" and "../Vastrel/smetas".
class Sandbox
{
public:
    Sandbox();
    const Workspace &workspace() const { return m_workspace; }
    // A file relative to the working directory, replaced whole.
    void write(const QString &relativeName, const QByteArray &bytes) const;
    // Empties the base folder.
    void clearBase() const;

private:
    QTemporaryDir m_dir;
    Workspace m_workspace;
};

// Messages are of no interest here; only crashes and sanitizer reports are.
class SilentMessages : public MessageService
{
public:
    void show(MessageKind, const QString &) override {}
};

inline QByteArray bytesOf(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace vastrel::fuzz
