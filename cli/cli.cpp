#include "cli/cli.h"

#include "domain/catalogue.h"
#include "domain/masked_code.h"
#include "store/settings.h"


#include <QLocale>
#include <QRegularExpression>

#include <cstdio>

#ifdef Q_OS_WIN
#include <QStringDecoder>
#include <io.h>
#include <windows.h>
#endif

namespace vastrel::cli {

namespace {

#ifdef Q_OS_WIN
// A Windows console shows UTF-16 through WriteConsoleW whatever its code
// page; a pipe or a file gets UTF-8, as on Linux.
bool isConsole(FILE *stream)
{
    const HANDLE handle = HANDLE(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

void writeConsole(FILE *stream, const QString &text)
{
    std::fflush(stream);
    DWORD written = 0;
    ::WriteConsoleW(HANDLE(_get_osfhandle(_fileno(stream))), text.utf16(), DWORD(text.size()), &written, nullptr);
}
#endif

void write(FILE *stream, const QString &text)
{
    // Standard output stays buffered (a listing is one line per record);
    // it is flushed before a message on standard error so both keep their order.
    if (stream == stderr)
        std::fflush(stdout);
#ifdef Q_OS_WIN
    if (isConsole(stream)) {
        writeConsole(stream, text + QLatin1Char('\n'));
        return;
    }
#endif
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
    if (stream == stderr)
        std::fflush(stderr);
}

} // namespace

void printLine(const QString &text)
{
    write(stdout, text);
}

void printUtf8(QByteArrayView text)
{
#ifdef Q_OS_WIN
    // A piece may end inside a character: the decoder keeps it for the next.
    static QStringDecoder utf8(QStringDecoder::Utf8);
    if (isConsole(stdout)) {
        writeConsole(stdout, utf8.decode(text));
        return;
    }
#endif
    std::fwrite(text.data(), 1, size_t(text.size()), stdout);
}

void printError(const QString &text)
{
    write(stderr, text);
}

void PrintingMessages::show(MessageKind kind, const QString &text)
{
    if (kind == MessageKind::Information) {
        printLine(text);
    } else {
        m_refusedOrFailed = true;
        printError(text);
    }
}

std::optional<QString> codeFieldText(Context &context, const std::optional<QString> &value)
{
    const QString code = value.value_or(QString());
    if (code.isEmpty())
        return QStringLiteral("   ");
    if (!isThreeDigitCode(code)) {
        context.messages.refuse(invalidCodeMessage());
        return std::nullopt;
    }
    return code;
}

int exitStatus(const Context &context, bool ok)
{
    return ok && !context.messages.refusedOrFailed() ? ExitOk : ExitRefused;
}

std::optional<QString> Arguments::take(const QString &name)
{
    const qsizetype at = m_args.indexOf(name);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= m_args.size())
        throw UsageError{QStringLiteral("Не указано значение параметра %1.").arg(name)};
    const QString value = m_args.at(at + 1);
    m_args.remove(at, 2);
    return value;
}

std::optional<QString> Arguments::takeFirst()
{
    if (m_args.isEmpty() || m_args.first().startsWith(QStringLiteral("--")))
        return std::nullopt;
    return m_args.takeFirst();
}

Estimate Arguments::takeEstimate()
{
    // The main window starts on the first legal status.
    Estimate estimate;
    estimate.legalStatus = statusCodeOfItem(0);
    if (const auto code = take(QStringLiteral("--income-code"))) {
        bool isNumber = false;
        const int position = code->toInt(&isNumber);
        estimate.incomeCode =
            isNumber && position >= 1 && position <= IncomeCodeCount ? position - 1 : incomeIndexByCode(*code);
    }
    if (const auto source = take(QStringLiteral("--source"))) {
        bool isNumber = false;
        const int position = source->toInt(&isNumber);
        if (!isNumber || position < 1 || position > IncomeSourceCount)
            throw UsageError{QStringLiteral("Источник дохода задаётся номером от 1 до 11.")};
        estimate.source = position - 1;
    }
    if (const auto status = take(QStringLiteral("--status"))) {
        const int item = statusItemOfCode(*status);
        if (item < 0)
            throw UsageError{QStringLiteral("Юридический статус задаётся кодом 1, 3 или 2.")};
        estimate.legalStatus = statusCodeOfItem(item);
    }
    if (const auto remainder = take(QStringLiteral("--remainder")))
        estimate.entries.remainder = *remainder;
    if (const auto income = take(QStringLiteral("--income")))
        estimate.entries.income = *income;
    for (size_t i = 0; i < estimate.entries.expenses.size(); ++i) {
        if (const auto amount = take(QStringLiteral("--e") + expenseLines()[i].shortCode))
            estimate.entries.expenses[i] = *amount;
    }
    return estimate;
}

QStringList Arguments::rest() const
{
    for (const QString &arg : m_args) {
        if (arg.startsWith(QStringLiteral("--")))
            throw UsageError{QStringLiteral("Неизвестный параметр %1.").arg(arg)};
    }
    return m_args;
}

} // namespace vastrel::cli
