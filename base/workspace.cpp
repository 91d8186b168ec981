#include "base/workspace.h"

#include <QDir>

namespace vastrel {

Workspace::Workspace()
    : m_root(QDir::currentPath())
{
}

Workspace::Workspace(QString root)
    : m_root(QDir(root).absolutePath())
{
}

QString Workspace::resolve(const QString &relativeName) const
{
    return QDir::cleanPath(QDir(m_root).filePath(relativeName));
}

QString Workspace::shown(const QString &relativeName)
{
    return QDir::toNativeSeparators(relativeName);
}

QString Workspace::estimateName(const QString &estimate)
{
    return baseDirName() + QLatin1Char('/') + estimate + QStringLiteral(".xml");
}

} // namespace vastrel
