#pragma once

#include "domain/messages.h"
#include "domain/estimate.h"
#include "store/workspace.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vastrel::cli {

// Messages go to standard output (information) or standard error (refusals
// and errors); the exit status follows what was shown.
class PrintingMessages : public MessageService
{
public:
    void show(MessageKind kind, const QString &text) override;
    bool refusedOrFailed() const { return m_refusedOrFailed; }

private:
    bool m_refusedOrFailed = false;
};

void printLine(const QString &text);
// Text already in UTF-8, written as it is.
void printUtf8(QByteArrayView text);
void printError(const QString &text);

// A wrong command line: the text goes to standard error, the exit status is 2.
struct UsageError
{
    QString text;
};

// The arguments of one command, consumed option by option.
class Arguments
{
public:
    explicit Arguments(QStringList args)
        : m_args(std::move(args))
    {}
    // Removes "--name VALUE" and returns VALUE; nullopt when absent.
    std::optional<QString> take(const QString &name);
    // Removes a "--name" that takes no value; true when it was there.
    bool takeFlag(const QString &name) { return m_args.removeAll(name) > 0; }
    // Removes and returns the first argument when it is not an option.
    std::optional<QString> takeFirst();
    // Removes the estimate options (income code, source, status, amounts) and
    // returns the estimate they give, with the window's defaults for the rest.
    Estimate takeEstimate();
    // What is left: plain arguments. Throws UsageError for a leftover option.
    QStringList rest() const;

private:
    QStringList m_args;
};

struct Context
{
    Workspace workspace;
    PrintingMessages messages;
};

constexpr int ExitOk = 0;
constexpr int ExitRefused = 1;
constexpr int ExitUsage = 2;

// The text a three-digit masked field holds for an option's value: three
// spaces when the value is absent or empty. Anything but three digits is
// refused as the field refuses it, and gives nullopt.
std::optional<QString> codeFieldText(Context &context, const std::optional<QString> &value);

// The exit status after an action: 1 when it refused or failed.
int exitStatus(const Context &context, bool ok);

using CommandFunction = int (*)(Context &, Arguments &);
struct Command
{
    const char *name;
    CommandFunction run;
    const char *help; // Russian, one line
};

// Commands by subsystem; main.cpp lists them all.
int runCalc(Context &, Arguments &);
int runSettings(Context &, Arguments &);
int runList(Context &, Arguments &);
int runDelete(Context &, Arguments &);
int runCopy(Context &, Arguments &);
int runRebuild(Context &, Arguments &);
int runImport(Context &, Arguments &);
int runSum(Context &, Arguments &);
int runRegister(Context &, Arguments &);
int runSave(Context &, Arguments &);
int runShow(Context &, Arguments &);

int runExportBreakdown(Context &, Arguments &);
int runExportConsolidated(Context &, Arguments &);

} // namespace vastrel::cli
