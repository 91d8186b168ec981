// Writes seed inputs for the fuzz targets with the program's own writers:
// make_seeds DIR gives DIR/estimate, DIR/toc, DIR/settings, DIR/amount and
// DIR/intake (a medium's table of contents and files, joined by bytes 0x1E).
#include "fuzz/sandbox.h"

#include "domain/amount.h"
#include "operations/summing.h"
#include "store/estimate_file.h"
#include "store/settings.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace vastrel;

namespace {

QString g_root;

void seed(const char *kind, const QString &name, const QByteArray &bytes)
{
    const QString dir = g_root + QLatin1Char('/') + QLatin1String(kind);
    QDir().mkpath(dir);
    QFile file(dir + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

QByteArray fileBytes(const QStringList &lines)
{
    return toWindows1251(crlfLines(lines));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds DIR\n");
        return 2;
    }
    g_root = QString::fromLocal8Bit(argv[1]);
    const fuzz::Sandbox sandbox; // first: it sets the locale the amounts are written in
    const Settings settings{QStringLiteral("кафедры физики"),
                            QStringLiteral("Заведующий"),
                            QStringLiteral("И.И. Иванов"),
                            QStringLiteral("105"),
                            QStringLiteral("3"),
                            QStringLiteral("Бухгалтер"),
                            QStringLiteral("Петрова А.А.")};
    const QDate today(2026, 3, 5);

    // Main-window estimates: every income code and source, amounts of every form.
    const QStringList amounts = {QStringLiteral("150"), QStringLiteral("0,5"), QStringLiteral("1E15"),
                                 QStringLiteral("-3"),  QStringLiteral("0"),   QStringLiteral("0,0")};
    for (int code = 0; code < IncomeCodeCount; ++code) {
        Estimate estimate;
        estimate.incomeCode = code;
        estimate.source = code % IncomeSourceCount;
        estimate.legalStatus = QString::number(1 + code % 3);
        estimate.entries.remainder = QStringLiteral("50");
        estimate.entries.income = QStringLiteral("100,5");
        for (size_t i = 0; i < estimate.entries.expenses.size(); ++i)
            estimate.entries.expenses[i] = amounts.at(qsizetype((i + size_t(code)) % size_t(amounts.size())));
        seed("estimate", QStringLiteral("window_%1").arg(code),
             fileBytes(windowEstimateLines(estimate, today, code % 2 ? std::optional(settings) : std::nullopt)));
    }
    Estimate blank;
    blank.source = 4;
    blank.legalStatus = QStringLiteral("1");
    seed("estimate", QStringLiteral("template"), fileBytes(templateEstimateLines(blank, today, settings.name)));

    // A consolidated estimate, written by summing two of the above.
    const QString dir = g_root + QStringLiteral("/estimate/");
    for (const char *name : {"window_3", "window_10"}) {
        QFile::copy(dir + QLatin1String(name), sandbox.workspace().estimatePath(QLatin1String(name)));
    }
    writeToc(sandbox.workspace(), {QStringLiteral("001|window_3|"), QStringLiteral("002|window_10|")});
    struct : MessageService
    {
        void show(MessageKind, const QString &text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    } messages;
    runAction(messages, [&] {
        const QString name = report(messages, sumEstimates(sandbox.workspace(),
                                                           {QStringLiteral("window_3"), QStringLiteral("window_10")},
                                                           messages, QDateTime(today, QTime(9, 5, 33))))
                                 .value();
        QFile file(sandbox.workspace().estimatePath(name));
        if (file.open(QIODevice::ReadOnly))
            seed("estimate", QStringLiteral("consolidated"), file.readAll());
        return Outcome::done();
    });

    // The table of contents as registering, summing and notes leave it.
    QFile toc(sandbox.workspace().tocPath());
    if (toc.open(QIODevice::ReadOnly))
        seed("toc", QStringLiteral("summed"), toc.readAll());
    writeToc(sandbox.workspace(),
             {QStringLiteral("105|Смета ФФ|физфак|2026"), QStringLiteral("001|a|"), QStringLiteral("202|Смета ИТ|")});
    QFile notes(sandbox.workspace().tocPath());
    if (notes.open(QIODevice::ReadOnly))
        seed("toc", QStringLiteral("notes"), notes.readAll());

    // Media as a copy writes them: the whole list, the files of some records.
    const QByteArray window3 = fileBytes(textLines([&] {
        QFile file(dir + QStringLiteral("window_3"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }()));
    const QByteArray list = fileBytes(
        {QStringLiteral("105|Смета ФФ|физфак|2026"), QStringLiteral("001|A|"), QStringLiteral("202|Смета ИТ|")});
    seed("intake", QStringLiteral("three"), list + '\x1e' + window3 + '\x1e' + window3 + '\x1e' + window3);
    seed("intake", QStringLiteral("some_without_file"), list + '\x1e' + window3);
    seed("intake", QStringLiteral("file_without_record"),
         fileBytes({QStringLiteral("001|Б|")}) + '\x1e' + window3 + '\x1e' + window3);

    // Settings: one block, and two blocks as a second store leaves them.
    const QByteArray once = settingsFileBytes(settings);
    seed("settings", QStringLiteral("one"), once);
    Settings other = settings;
    other.status = QStringLiteral("2");
    seed("settings", QStringLiteral("two"), once + QByteArrayLiteral("\r\n") + settingsFileBytes(other));

    // Amounts as the general format writes them, under both separators.
    int n = 0;
    for (const double value : {0.0, 99.5, -0.0001, 1.5e-6, 1e15, 1234567890123456.0, 1e300, -4.9e-324}) {
        for (const QChar separator : {QLatin1Char(','), QLatin1Char('.')})
            seed("amount", QStringLiteral("amount_%1").arg(n++), formatAmount(value, separator).toLatin1());
    }
    return 0;
}
