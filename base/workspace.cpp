#include "base/workspace.h"

#include "base/error.h"
#include "base/estimate_name.h"

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

QString Workspace::estimatePath(const QString &estimate) const
{
    if (const QString problem = storedEstimateNameProblem(estimate); !problem.isEmpty())
        throw Error(problem);
    return resolve(estimateName(estimate));
}

} // namespace vastrel
