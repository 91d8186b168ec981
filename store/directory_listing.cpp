#include "store/directory_listing.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <vector>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#else
#include <filesystem>
#endif

namespace vastrel {

#ifdef Q_OS_UNIX

bool forEachDirectoryEntry(const QString &dir, const std::function<void(QStringView name)> &each, QString *reason)
{
    DIR *stream = ::opendir(QFile::encodeName(dir).constData());
    if (!stream) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#ifndef Q_OS_DARWIN
    QStringDecoder decoder(QStringDecoder::System, QStringDecoder::Flag::Stateless);
    std::vector<QChar> units(256);
#endif
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(stream);
        if (!entry)
            break;
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
#ifdef Q_OS_DARWIN
        each(QFile::decodeName(name)); // which also composes the names
#else
        // What QFile::decodeName does here, into one buffer rather than two
        // allocations per name.
        const QByteArrayView bytes(name, qsizetype(std::strlen(name)));
        const size_t space = size_t(decoder.requiredSpace(bytes.size()));
        if (units.size() < space)
            units.resize(std::max(space, 2 * units.size()));
        const QChar *end = decoder.appendToBuffer(units.data(), bytes);
        each(QStringView(units.data(), end));
#endif
    }
    const int error = errno;
    ::closedir(stream);
    if (error != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(error));
        return false;
    }
    return true;
}

#else

bool forEachDirectoryEntry(const QString &dir, const std::function<void(QStringView name)> &each, QString *reason)
{
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir.toStdU16String(), error), end; !error && it != end;
         it.increment(error))
        each(QString::fromStdWString(it->path().filename().native()));
    if (error) {
        *reason = QString::fromStdString(error.message());
        return false;
    }
    return true;
}

#endif

} // namespace vastrel
