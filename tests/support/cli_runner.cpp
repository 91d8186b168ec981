#include "support/cli_runner.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace vastrel::test {

CliResult runCli(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VASTREL_CLI), arguments);
    CliResult result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace vastrel::test
