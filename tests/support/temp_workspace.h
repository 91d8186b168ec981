#pragma once

#include "store/workspace.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace vastrel::test {

// A fresh working directory "work" with the base directory "../Vastrel/smetas"
// beside it, removed at the end of the test.
class TempWorkspace
{
public:
    TempWorkspace();

    const Workspace &workspace() const { return m_workspace; }
    QString root() const { return m_workspace.root(); }
    QString baseDir() const { return m_workspace.baseDir(); }

    // Files relative to the working directory, as raw bytes.
    void write(const QString &relativeName, const QByteArray &bytes) const;
    QByteArray read(const QString &relativeName) const;
    bool exists(const QString &relativeName) const;

    // departments.txt from Unicode lines, Windows-1251 with CR LF.
    void writeToc(const QStringList &lines) const;
    // nastroiki.txt from seven Unicode values joined by CR LF, no final terminator.
    void writeSettings(const QStringList &values) const;

private:
    QTemporaryDir m_dir;
    Workspace m_workspace;
};

// Text as Windows-1251 bytes, and CR LF lines as the files hold them.
QByteArray cp1251(const QString &text);
QByteArray crlf(const QStringList &lines);

// A temporary folder as the drive list takes it: on Windows a drive letter
// that stands for the folder while this lives, elsewhere the folder's path.
class FolderAsDrive
{
public:
    explicit FolderAsDrive(const QString &folder);
    ~FolderAsDrive();
    FolderAsDrive(const FolderAsDrive &) = delete;
    FolderAsDrive &operator=(const FolderAsDrive &) = delete;

    const QString &designation() const { return m_designation; }
    // False where the letter does not reach the folder: under Wine it does not.
    bool usable() const;

private:
    QString m_folder;
    QString m_designation;
};

// A file of tests/data as stored: whole files whose bytes are checked by eye once.
QByteArray testData(const QString &name);

// The English line of the Error the action throws; empty when it throws none.
QString thrownPlatformText(const std::function<void()> &action);

} // namespace vastrel::test
