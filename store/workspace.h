#pragma once

#include <QString>

namespace vastrel {

// The working directory against which every file name of the system is resolved.
// Names are kept relative (as the user sees them in messages) and resolved here.
class Workspace
{
public:
    // The process's current directory.
    Workspace();
    explicit Workspace(QString root);

    const QString &root() const { return m_root; }

    // Absolute path of a name relative to the working directory.
    QString resolve(const QString &relativeName) const;
    // The relative name as messages show it (native separators).
    static QString shown(const QString &relativeName);

    static QString tocName() { return QStringLiteral("departments.txt"); }
    static QString deletionWorkName() { return QStringLiteral("departments_d.txt"); }
    static QString settingsName() { return QStringLiteral("nastroiki.txt"); }
    static QString baseDirName() { return QStringLiteral("../Vastrel/smetas"); }
    // "../Vastrel/smetas/" + estimate name + ".xml"
    static QString estimateName(const QString &estimate);

    QString tocPath() const { return resolve(tocName()); }
    QString settingsPath() const { return resolve(settingsName()); }
    QString baseDir() const { return resolve(baseDirName()); }
    // Throws an Error for a name whose file would lie outside the base
    // directory: every action that turns a record into a path goes through here.
    QString estimatePath(const QString &estimate) const;

private:
    QString m_root;
};

// The user's own workspace under `root` (its program folder and the base
// beside it, an empty table of contents), made where parts are missing;
// nothing present is touched. The program folder's path, or an empty string
// with `reason` when it cannot be made.
QString ensureUserWorkspace(const QString &root, QString *reason);

} // namespace vastrel
