#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "base/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vastrel::test {

QStringList RecordingMessages::texts() const
{
    QStringList texts;
    for (const Message &message : m_messages)
        texts.append(message.text);
    return texts;
}

TempWorkspace::TempWorkspace()
    : m_workspace([this] {
        QDir(m_dir.path()).mkpath(QStringLiteral("work"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Vastrel/smetas"));
        return Workspace(m_dir.filePath(QStringLiteral("work")));
    }())
{
}

void TempWorkspace::write(const QString &relativeName, const QByteArray &bytes) const
{
    const QString path = m_workspace.resolve(relativeName);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

QByteArray TempWorkspace::read(const QString &relativeName) const
{
    QFile file(m_workspace.resolve(relativeName));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool TempWorkspace::exists(const QString &relativeName) const
{
    return QFileInfo::exists(m_workspace.resolve(relativeName));
}

void TempWorkspace::writeToc(const QStringList &lines) const
{
    write(Workspace::tocName(), crlf(lines));
}

void TempWorkspace::writeSettings(const QStringList &values) const
{
    write(Workspace::settingsName(), cp1251(values.join(QStringLiteral("\r\n"))));
}

QByteArray cp1251(const QString &text)
{
    return toWindows1251(text);
}

QByteArray crlf(const QStringList &lines)
{
    return toWindows1251(crlfLines(lines));
}

} // namespace vastrel::test
