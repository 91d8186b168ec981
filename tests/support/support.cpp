#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "domain/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace vastrel::test {

QStringList RecordingMessages::texts() const
{
    QStringList texts;
    for (const Message &message : m_messages)
        texts.append(message.text);
    return texts;
}

QStringList RecordingMessages::firstLines() const
{
    QStringList lines;
    for (const Message &message : m_messages)
        lines.append(message.text.section(QLatin1Char('\n'), 0, 0));
    return lines;
}

TempWorkspace::TempWorkspace()
    : m_workspace([this] {
        QDir(m_dir.path()).mkpath(QStringLiteral("work"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Vastrel/smetas"));
        return Workspace(m_dir.filePath(QStringLiteral("work")));
    }())
{}

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

// The expected bytes are spelled out here rather than made by the program's
// own encoder and line joining, so a fault in those shows in every file test.
QByteArray cp1251(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            bytes += char(u);
        else if (u >= 0x0410 && u <= 0x044F) // А..я
            bytes += char(0xC0 + (u - 0x0410));
        else if (u == 0x0401) // Ё
            bytes += '\xA8';
        else if (u == 0x0451) // ё
            bytes += '\xB8';
        else if (u == 0x2116) // №
            bytes += '\xB9';
        else if (u == 0x00AB) // «
            bytes += '\xAB';
        else if (u == 0x00BB) // »
            bytes += '\xBB';
        else
            qFatal("no Windows-1251 byte in the test table for U+%04X", unsigned(u));
    }
    return bytes;
}

QByteArray crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += cp1251(line) + "\r\n";
    return bytes;
}

QByteArray testData(const QString &name)
{
    QFile file(QStringLiteral(VASTREL_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no test data %s", qPrintable(name));
    return file.readAll();
}

QString thrownPlatformText(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Error &error) {
        return error.platformText();
    }
    return QString();
}

FolderAsDrive::FolderAsDrive(const QString &folder)
    : m_folder(folder)
    , m_designation(folder)
{
#ifdef Q_OS_WIN
    // As "subst" does; the first letter no drive holds.
    const std::wstring target = QDir::toNativeSeparators(folder).toStdWString();
    for (char letter = 'Q'; letter <= 'Y'; ++letter) {
        const std::wstring device = {wchar_t(letter), L':'};
        if (QFileInfo::exists(QString::fromStdWString(device + L"\\")))
            continue;
        if (DefineDosDeviceW(0, device.c_str(), target.c_str())) {
            m_designation = QString(QLatin1Char(letter));
            return;
        }
    }
#endif
}

bool FolderAsDrive::usable() const
{
#ifdef Q_OS_WIN
    if (m_designation.size() != 1)
        return false;
    // A file made in the folder must be seen through the letter.
    const QString marker = QStringLiteral("folder-as-drive.probe");
    QFile probe(QDir(m_folder).filePath(marker));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    const bool seen = QFileInfo::exists(m_designation + QStringLiteral(":\\") + marker);
    probe.remove();
    return seen;
#else
    return true;
#endif
}

FolderAsDrive::~FolderAsDrive()
{
#ifdef Q_OS_WIN
    if (m_designation.size() == 1) {
        const std::wstring device = {wchar_t(m_designation.at(0).unicode()), L':'};
        DefineDosDeviceW(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
    }
#endif
}

} // namespace vastrel::test
