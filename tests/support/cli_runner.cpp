#include "support/cli_runner.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

namespace vastrel::test {

namespace {

CliResult run(const QStringList &arguments, const QString &program, const QString &locale)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    environment.insert(QStringLiteral("LANG"), locale);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    CliResult result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace

CliResult runCli(const QStringList &arguments, const QString &program)
{
    return run(arguments, program, QStringLiteral("ru_RU.UTF-8"));
}

CliResult runCliUnder(const QString &locale, const QStringList &arguments)
{
    return run(arguments, QStringLiteral(VASTREL_CLI), locale);
}

bool havePdfText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                                QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QList<PdfWord> pdfWords(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                                QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    static const QRegularExpression item(QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                                                        "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (const auto &match : item.globalMatch(QString::fromUtf8(process.readAllStandardOutput()))) {
        if (match.capturedLength(1) == 0) {
            ++page;
            continue;
        }
        const QString text = match.captured(5)
                                 .replace(QLatin1String("&quot;"), QLatin1String("\""))
                                 .replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.append({page, text,
                      QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                             QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()))});
    }
    return words;
}

QString firstOutOfOrder(const QString &text, const QStringList &parts)
{
    qsizetype at = 0;
    for (const QString &part : parts) {
        const qsizetype found = text.indexOf(part, at);
        if (found < 0)
            return part;
        at = found + part.size();
    }
    return QString();
}

} // namespace vastrel::test
