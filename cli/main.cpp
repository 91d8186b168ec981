#include "cli/cli.h"

#include "domain/catalogue.h"
#include "domain/platform_noise.h"
#include "domain/version.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
// windows.h first: shellapi.h needs its declarations.
#include <windows.h>

#include <shellapi.h>
#endif

using namespace vastrel::cli;

namespace {

// Every command of the tool; a subsystem adds its line here.
const Command commands[] = {
    {"calc", runCalc, "calc [параметры окна] — расчет сметы: итого доходов и итого расходов"},
    {"settings", runSettings,
     "settings show | settings store --name Т --head-position Т --head-name Т --code ККК --status С "
     "--resp-position Т --resp-name Т — показать или записать настройки"},
    {"list", runList, "list — оглавление базы, по строке на запись"},
    {"delete", runDelete, "delete ИМЯ — удалить смету и её запись в оглавлении"},
    {"copy", runCopy, "copy --to КАТАЛОГ ИМЯ... — скопировать сметы и оглавление на носитель"},
    {"rebuild", runRebuild, "rebuild — восстановить оглавление базы по файлам каталога смет"},
    {"import", runImport,
     "import --from КАТАЛОГ [ИМЯ...] [--replace] [--verbose] — принять сметы с носителя в базу с их кодами и "
     "примечаниями (без ИМЕН — все записи оглавления носителя); отличающаяся смета заменяется только с --replace; "
     "--verbose перечисляет записи без файла и файлы без записи"},
    {"sum", runSum, "sum ИМЯ... — сложить сметы с этими именами в сводную смету"},
    {"register", runRegister,
     "register ИМЯ --code ККК [--notes Т] [параметры окна] — завести новую смету (шаблон из полей окна)"},
    {"save", runSave, "save ИМЯ [параметры окна] — расчет и запись сметы в базу"},
    {"show", runShow, "show ИМЯ — показать смету: код дохода, источник и суммы полей"},

    {"export-breakdown", runExportBreakdown,
     "export-breakdown [--from ИМЯ] [параметры окна] -o ФАЙЛ.xlsx|ФАЙЛ.pdf — расшифровка сметы "
     "(книга Excel или PDF, по расширению); "
     "перед экспортом выполняется расчет сметы, а с --from смета сначала показывается из базы"},
    {"export-consolidated", runExportConsolidated,
     "export-consolidated ИМЯ -o ФАЙЛ.xlsx|ФАЙЛ.pdf — уточненная смета доходов и расходов (книга Excel или PDF) "
     "по смете ИМЯ"},
};

const char *const windowOptionsHelp = "Параметры окна (то, что держит главное окно; не заданное поле пусто):\n"
                                      "  --income-code X   код дохода: номер 1..11 или полный код\n"
                                      "  --source N        источник дохода (расшифровка), номер 1..11\n"
                                      "  --status C        юридический статус: 1, 3 или 2\n"
                                      "  --remainder T     остаток\n"
                                      "  --income T        итоговая сумма доходов\n"
                                      "  --e211 T ... --e610 T   суммы расходов по кодам\n";

void printHelp()
{
    QString text = QStringLiteral("Вастрель - Тавер: операции со сметами без окон.\n"
                                  "Использование: vastrel [-C КАТАЛОГ] КОМАНДА [АРГУМЕНТЫ...]\n"
                                  "  -C КАТАЛОГ   перейти в рабочий каталог программы\n"
                                  "  --version    имя и версия программы\n"
                                  "  --help       эта справка\n\nКоманды:\n");
    for (const Command &command : commands)
        text += QStringLiteral("  ") + QString::fromUtf8(command.help) + QLatin1Char('\n');
    text += QLatin1Char('\n') + QString::fromUtf8(windowOptionsHelp);
    // The options of every expense line, from the catalogue (bash completion reads them here too).
    QString line = QStringLiteral("   ");
    for (const vastrel::ExpenseLine &expense : vastrel::expenseLines()) {
        const QString option = QStringLiteral(" --e") + expense.shortCode;
        if (line.size() + option.size() > 100) {
            text += line + QLatin1Char('\n');
            line = QStringLiteral("   ");
        }
        line += option;
    }
    text += line + QLatin1Char('\n');
    text += QStringLiteral("\nКод выхода: 0 — успешно, 1 — отказ или ошибка, 2 — неверная команда.");
    printLine(text);
}

int run(QStringList args)
{
    if (args.size() >= 2 && args.first() == QLatin1String("-C")) {
        if (!QDir::setCurrent(args.at(1)))
            throw UsageError{QStringLiteral("Нет каталога %1.").arg(args.at(1))};
        args.remove(0, 2);
    }
    if (args.isEmpty())
        throw UsageError{QStringLiteral("Не задана команда. Справка: vastrel --help")};
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printHelp();
        return ExitOk;
    }
    if (name == QLatin1String("--version")) {
        printLine(QStringLiteral("vastrel" VASTREL_VERSION_LINE_TAIL));
        return ExitOk;
    }
    for (const Command &command : commands) {
        if (name == QLatin1String(command.name)) {
            Context context{vastrel::Workspace(), {}};
            Arguments arguments(args);
            return command.run(context, arguments);
        }
    }
    throw UsageError{QStringLiteral("Неизвестная команда %1. Справка: vastrel --help").arg(name)};
}

} // namespace

namespace {

// Drawing a PDF creates the graphical application object in the PDF module;
// the process must have none of its own by then.
bool drawsPdf(int argc, char *argv[])
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "-o") == 0 && QByteArray(argv[i + 1]).toLower().endsWith(".pdf"))
            return true;
    }
    return false;
}

#ifdef Q_OS_UNIX
// Listing and rebuilding the table of contents use nothing of the application
// object; at a hundred thousand records creating it is a good part of the work.
bool needsNoApplication(int argc, char *argv[])
{
    const int command = argc >= 3 && qstrcmp(argv[1], "-C") == 0 ? 3 : 1;
    return command < argc && (qstrcmp(argv[command], "list") == 0 || qstrcmp(argv[command], "rebuild") == 0);
}
#endif

// What the application object would give: on POSIX the user's locale for the
// C library (the system's texts of file errors) and the arguments in the
// locale's encoding; on Windows the wide command line.
QStringList argumentsWithoutApplication(int argc, char *argv[])
{
    QStringList args;
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int count = 0;
    if (LPWSTR *wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            args.append(QString::fromWCharArray(wide[i]));
        ::LocalFree(wide);
    }
#else
    std::setlocale(LC_ALL, "");
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
#endif
    return args;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // Pipes and files get the same bytes as on Linux (UTF-8, LF); a console
    // is written in UTF-16 (cli.cpp).
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    vastrel::silencePlatformNoise();
#ifdef Q_OS_UNIX
    // A listing of many lines into a pipe or file goes out in large writes;
    // a terminal keeps its line buffering.
    static char outputBuffer[1 << 16];
    if (!::isatty(::fileno(stdout)))
        std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
#endif
    bool withoutApplication = drawsPdf(argc, argv);
#ifdef Q_OS_UNIX
    withoutApplication = withoutApplication || needsNoApplication(argc, argv);
#endif
    std::unique_ptr<QCoreApplication> application;
    QStringList args;
    if (withoutApplication) {
        args = argumentsWithoutApplication(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
        args = application->arguments();
        args.removeFirst();
    }
    int status = ExitOk;
    try {
        status = run(args);
    } catch (const UsageError &error) {
        printError(error.text);
        return ExitUsage;
    }
    // A listing sent to a full disk or a closed pipe must not end as a success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        printError(
            QStringLiteral("Не удалось вывести результат: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        return ExitRefused;
    }
    return status;
}
