#include "cli/pdf_drawing.h"

#include "domain/error.h"
#include "export/pdf/pdf_module.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <string>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace vastrel::cli {

namespace {

// The executable's own folder; the working directory is the user's, and -C moves it.
QString programDirectory()
{
#if defined(Q_OS_WIN)
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    return QFileInfo(QString::fromWCharArray(path.data(), int(length))).absolutePath();
#elif defined(Q_OS_LINUX)
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
#else
    return QString();
#endif
}

DrawPdfEntry loadedEntry()
{
    const QString fileName = QStringLiteral(VASTREL_PDF_MODULE);
    const QString programDir = programDirectory();
    const QString libraryDir = QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(VASTREL_PDF_MODULE_DIR)));
    if (programDir.isEmpty()) {
        throw Error(QStringLiteral("Не удалось построить документ PDF: не удалось узнать каталог программы, "
                                   "где лежит модуль %1.")
                        .arg(fileName));
    }
    for (const QString &dir : {programDir, libraryDir}) {
        const QString path = QDir(dir).filePath(fileName);
        if (!QFileInfo(path).isFile())
            continue;
        // The library stays loaded to the end of the run: QLibrary unloads only when told.
        QLibrary library(path);
        if (!library.load()) {
            throw Error(QStringLiteral("Не удалось построить документ PDF: модуль %1 не загружается: %2")
                            .arg(QDir::toNativeSeparators(path), library.errorString()));
        }
        if (const auto entry = reinterpret_cast<DrawPdfEntry>(library.resolve(DrawPdfEntryName)))
            return entry;
        throw Error(QStringLiteral("Не удалось построить документ PDF: модуль %1 не от этой версии программы.")
                        .arg(QDir::toNativeSeparators(path)));
    }
    throw Error(QStringLiteral("Не удалось построить документ PDF: нет модуля %1 ни в %2, ни в %3. "
                               "Переустановите программу.")
                    .arg(fileName, QDir::toNativeSeparators(programDir), QDir::toNativeSeparators(libraryDir)));
}

} // namespace

QByteArray pdfThroughModule(const SheetModel &sheet)
{
    const DrawPdfEntry draw = loadedEntry();
    QByteArray bytes;
    QString error;
    if (!draw(&sheet, &bytes, &error))
        throw Error(error);
    return bytes;
}

} // namespace vastrel::cli
