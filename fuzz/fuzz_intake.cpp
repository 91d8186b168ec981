// The intake from a medium: the input is the medium's table of contents,
// then, each after a byte 0x1E, the files of its records in order (one more
// is a file without a record). The base starts with one estimate of its own.
#include "fuzz/sandbox.h"

#include "operations/media_import.h"
#include "store/estimate_file.h"
#include "store/estimate_name.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <cstdlib>

using namespace vastrel;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fuzz::Sandbox sandbox;
    static int runs = 0;
    const Workspace &ws = sandbox.workspace();
    const QString medium = ws.resolve(QStringLiteral("../medium"));
    QDir(medium).removeRecursively();
    QDir().mkpath(medium);
    sandbox.clearBase();
    static const QByteArray own = toWindows1251(crlfLines(estimateFileLines(
        {QStringLiteral("2026"), QStringLiteral("1"), QStringLiteral("Своя"), QStringLiteral("001"),
         QStringLiteral("1")},
        {{{QStringLiteral("CODE"), QStringLiteral("211")}, {QStringLiteral("SUM_YEAR"), QStringLiteral("7")}}})));
    sandbox.write(Workspace::tocName(), QByteArrayLiteral("001|A|\r\n"));
    sandbox.write(Workspace::estimateName(QStringLiteral("A")), own);

    const QList<QByteArray> parts = fuzz::bytesOf(data, size).split('\x1e');
    sandbox.write(QStringLiteral("../medium/departments.txt"), parts.first());
    QStringList records = textLines(parts.first());
    records.removeAll(QString());
    QSet<QString> written;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString name = i <= records.size() ? estimateNameOf(records.at(i - 1)) : QStringLiteral("лишний");
        // Only names the program itself would give a file in the base.
        if (!newEstimateNameProblem(name).isEmpty() || written.contains(name))
            continue;
        written.insert(name);
        sandbox.write(QStringLiteral("../medium/") + name + QStringLiteral(".xml"), parts.at(i));
    }

    const bool consent = ++runs % 2 == 0;
    IntakeReport result;
    try {
        runIntake(
            ws, Medium::at(medium), {}, [consent](const QString &) { return consent; }, result);
    } catch (const Error &) {
        // a refused medium; what was taken before it must still be whole
    }
    fuzz::SilentMessages messages;
    report(messages, result.outcome(true));

    // Every file of the base has one record; what was taken holds the medium's bytes.
    if (result.taken < 0 || result.taken > records.size())
        std::abort();
    QSet<QString> listed;
    for (const QString &line : readToc(ws)) {
        const QString name = estimateNameOf(line);
        if (listed.contains(name))
            std::abort();
        listed.insert(name);
    }
    for (const QString &file : QDir(ws.baseDir()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString name = file.chopped(4);
        if (!file.endsWith(QStringLiteral(".xml")) || !listed.contains(name))
            std::abort();
        const QByteArray bytes = fileBytes(ws.estimatePath(name));
        const bool fromMedium = bytes == fileBytes(medium + QLatin1Char('/') + file);
        if (name == QStringLiteral("A") ? !(bytes == own || (consent && fromMedium)) : !fromMedium)
            std::abort();
    }
    if (QDir(ws.resolve(QStringLiteral(".."))).entryList(QDir::Files).size() > 1)
        std::abort(); // nothing is written beside the base
    return 0;
}
