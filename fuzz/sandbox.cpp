#include "fuzz/sandbox.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

namespace vastrel::fuzz {

Sandbox::Sandbox()
    : m_workspace([this] {
        // Comma decimals as on our users' machines, before anything asks the locale.
        qputenv("LC_ALL", "ru_RU.UTF-8");
        QDir(m_dir.path()).mkpath(QStringLiteral("work"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Vastrel/smetas"));
        return Workspace(m_dir.filePath(QStringLiteral("work")));
    }())
{}

void Sandbox::write(const QString &relativeName, const QByteArray &bytes) const
{
    QFile file(m_workspace.resolve(relativeName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort(); // the harness itself is broken
}

void Sandbox::clearBase() const
{
    QDir base(m_workspace.baseDir());
    for (const QString &name : base.entryList(QDir::Files | QDir::Hidden))
        base.remove(name);
}

} // namespace vastrel::fuzz
