#include "store/workspace.h"

#include "domain/error.h"
#include "store/estimate_name.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vastrel {

Workspace::Workspace()
    : m_root(QDir::currentPath())
{}

Workspace::Workspace(QString root)
    : m_root(QDir(root).absolutePath())
{}

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

namespace vastrel {

QString ensureUserWorkspace(const QString &root, QString *reason)
{
    const QDir top(root);
    const QString program = top.filePath(QStringLiteral("program"));
    for (const QString &dir : {program, top.filePath(QStringLiteral("Vastrel/smetas"))}) {
        if (!QDir().mkpath(dir)) {
            *reason = QStringLiteral("Не удалось создать каталог %1.").arg(QDir::toNativeSeparators(dir));
            return QString();
        }
    }
    const Workspace workspace(program);
    if (!QFileInfo::exists(workspace.tocPath())) {
        QFile toc(workspace.tocPath());
        if (!toc.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !QFileInfo::exists(workspace.tocPath())) {
            *reason = QStringLiteral("Не удалось создать файл %1: %2.")
                          .arg(QDir::toNativeSeparators(workspace.tocPath()), toc.errorString());
            return QString();
        }
    }
    return workspace.root();
}

} // namespace vastrel
