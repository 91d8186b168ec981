#pragma once

#include <QString>
#include <QStringList>

namespace vastrel::test {

struct CliResult
{
    int exitCode = -1;
    QString out; // standard output, UTF-8
    QString err; // standard error
};

// Runs the built `vastrel` tool with the arguments, under a Russian locale.
CliResult runCli(const QStringList &arguments);

} // namespace vastrel::test
