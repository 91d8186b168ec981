#include "domain/error.h"
#include "operations/media_import.h"
#include "store/estimate_file.h"
#include "store/text_file.h"
#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"
#include "windows/operations_dialog.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace vastrel;
using namespace vastrel::test;

namespace {

// What an intake left: its report and the text of the Error that stopped it, if one did.
struct Intake
{
    IntakeReport report;
    QString error;
};

Intake intake(const TempWorkspace &ws, const Medium &medium, const QStringList &names, const ReplaceConsent &consent,
              const MediumReader &reader = {})
{
    Intake result;
    try {
        runIntake(ws.workspace(), medium, names, consent, result.report, reader);
    } catch (const Error &error) {
        result.error = error.text();
    }
    return result;
}

const QString SmetaDir = QStringLiteral("../Vastrel/smetas/");

// A saved estimate whose department and amount of 211 tell it apart.
QByteArray estimate(const QString &department, const QString &amount = QStringLiteral("1,5"))
{
    Estimate saved;
    saved.incomeCode = 0;
    saved.source = 0;
    saved.legalStatus = QStringLiteral("1");
    saved.entries.remainder = QStringLiteral("0");
    saved.entries.income = amount;
    saved.entries.expenses.fill(QStringLiteral("0"));
    saved.entries.expenses[0] = amount;
    Settings settings;
    settings.name = department;
    settings.status = QStringLiteral("1");
    return cp1251(crlfLines(windowEstimateLines(saved, QDate(2026, 1, 2), settings)));
}

struct IntakeCase
{
    const char *name;
    QStringList baseToc;
    QList<std::pair<QString, QByteArray>> baseFiles;
    QStringList mediumToc;
    QList<std::pair<QString, QByteArray>> mediumFiles;
    QStringList names;
    bool consent;
    QStringList expectedToc;
    QStringList fromMedium; // names whose base file must then hold the medium's bytes
    QString expectedReport;
};

class IntakeCases : public testing::TestWithParam<IntakeCase>
{};

// Built when called: the writers' texts are not ready during static initialisation.
QByteArray A()
{
    return estimate(QStringLiteral("Смета A"));
}
QByteArray B()
{
    return estimate(QStringLiteral("Смета B"));
}
QByteArray OldA()
{
    return estimate(QStringLiteral("Смета A"), QStringLiteral("7"));
}

TEST_P(IntakeCases, TakesWhatItMayAndReportsTheRest)
{
    const IntakeCase &c = GetParam();
    TempWorkspace ws;
    QTemporaryDir medium;
    ws.writeToc(c.baseToc);
    for (const auto &[name, bytes] : c.baseFiles)
        ws.write(SmetaDir + name + QStringLiteral(".xml"), bytes);
    ws.write(medium.filePath(QStringLiteral("departments.txt")), crlf(c.mediumToc));
    for (const auto &[name, bytes] : c.mediumFiles) {
        // On Windows "B.xml" is the file "b.xml": the medium keeps the first of the two.
        if (QFile::exists(medium.filePath(name + QStringLiteral(".xml"))))
            continue;
        ws.write(medium.filePath(name + QStringLiteral(".xml")), bytes);
    }

    const Intake result = intake(ws, Medium::at(medium.path()), c.names, [&](const QString &) { return c.consent; });
    EXPECT_EQ(result.report.text() + result.error, c.expectedReport);
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf(c.expectedToc));
    // Taken estimates hold the medium's bytes; every other file of the base is untouched.
    for (const auto &[name, bytes] : c.mediumFiles) {
        if (c.fromMedium.contains(name)) {
            EXPECT_EQ(ws.read(SmetaDir + name + QStringLiteral(".xml")), bytes) << name.toStdString();
        }
    }
    for (const auto &[name, bytes] : c.baseFiles) {
        if (!c.fromMedium.contains(name)) {
            EXPECT_EQ(ws.read(SmetaDir + name + QStringLiteral(".xml")), bytes) << name.toStdString();
        }
    }
    EXPECT_FALSE(ws.exists(QStringLiteral("../Vastrel/x.xml")));
}

INSTANTIATE_TEST_SUITE_P(
    Each, IntakeCases,
    testing::Values(
        IntakeCase{"new_estimates_keep_code_and_notes",
                   {"101|C|"},
                   {{"C", B()}},
                   {"105|A|курсы | годовые", "000|B|"},
                   {{"A", A()}, {"B", B()}},
                   {},
                   false,
                   {"101|C|", "105|A|курсы | годовые", "000|B|"},
                   {"A", "B"},
                   "Принято смет: 2."},
        IntakeCase{"identical_is_skipped",
                   {"101|A|своя"},
                   {{"A", A()}},
                   {"105|A|чужая"},
                   {{"A", A()}},
                   {},
                   true,
                   {"101|A|своя"},
                   {},
                   "Принято смет: 0. Пропущено (уже есть в базе): 1."},
        IntakeCase{
            "different_kept_without_consent",
            {"101|A|"},
            {{"A", OldA()}},
            {"105|A|"},
            {{"A", A()}},
            {},
            false,
            {"101|A|"},
            {},
            "Принято смет: 0. Не принято: 1.\nСмета «A» уже есть в базе и отличается от сметы на носителе — не заменена."},
        IntakeCase{"replaced_estimate_keeps_one_record",
                   {"101|A|старая", "102|C|", "103|A|"},
                   {{"A", OldA()}},
                   {"105|A|новая"},
                   {{"A", A()}},
                   {},
                   true,
                   {"105|A|новая", "102|C|"},
                   {"A"},
                   "Принято смет: 1."},
        IntakeCase{"file_listed_nowhere_gets_its_record",
                   {},
                   {{"A", A()}},
                   {"105|A|"},
                   {{"A", A()}},
                   {},
                   false,
                   {"105|A|"},
                   {"A"},
                   "Принято смет: 1."},
        IntakeCase{"orphans_are_listed_not_taken",
                   {},
                   {},
                   {"105|A|", "106|D|"},
                   {{"A", A()}, {"E", B()}},
                   {},
                   false,
                   {"105|A|"},
                   {"A"},
                   "Принято смет: 1. Записей оглавления без файла на носителе: 1. Файлов на носителе без записи в "
                   "оглавлении: 1."},
        IntakeCase{
            "refuses_what_is_no_estimate_and_unsafe_names",
            {},
            {},
            {"105|A|", "106|../x|", "107||"},
            {{"A", "<?xml?>\r\n"}},
            {},
            false,
            {},
            {},
            "Принято смет: 0. Не принято: 3.\nФайл «A.xml» на носителе не является файлом сметы (строка 1: ожидалось "
            "«<?xml version='1.0' encoding='windows-1251' standalone='yes'?>») — не принят.\n"
            "Смета «../x» не принята: Имя сметы «../x» содержит знак «/» или «\\». Имя сметы служит именем "
            "её файла в базе и не может содержать эти знаки.\nЗапись «107||» без имени сметы — не принята."},
        IntakeCase{
            "damaged_files_are_refused_even_with_consent",
            {"101|A|"},
            {{"A", OldA()}},
            {"101|A|", "102|B|"},
            {{"A", QByteArray(A()).replace("\r\n", "\n")}, {"B", QByteArray(B()).replace(">1,5<", ">1e400<")}},
            {},
            true,
            {"101|A|"},
            {},
            "Принято смет: 0. Не принято: 2.\nФайл «A.xml» на носителе не является файлом сметы (строка 1: строка кончается "
            "знаком LF без CR (нужна пара CR LF)) — не принят.\nФайл «B.xml» на носителе не является файлом "
            "сметы (строка 20: сумма «1e400» не число (нужны цифры с запятой или точкой, без пробелов между "
            "разрядами)) — не принят."},
        IntakeCase{
            "names_differing_only_in_case_are_refused",
            {"101|Кафедра|"},
            {{"Кафедра", A()}},
            {"105|КАФЕДРА|", "106|b|", "107|B|"},
            {{"КАФЕДРА", B()}, {"b", B()}, {"B", A()}},
            {},
            true,
            {"101|Кафедра|", "106|b|"},
            {"b"},
            "Принято смет: 1. Не принято: 2.\nСмета «КАФЕДРА» не принята: Файл с таким именем уже существует в системе!\n"
            "Смета «КАФЕДРА» отличается от сметы «Кафедра» только заглавными и строчными буквами, а в Windows "
            "и на флешке это одно имя файла.\nСмета «B» не принята: Файл с таким именем уже существует в "
            "системе!\nСмета «B» отличается от сметы «b» только заглавными и строчными буквами, а в Windows и "
            "на флешке это одно имя файла."},
        IntakeCase{"named_estimates_only",
                   {},
                   {},
                   {"105|A|", "000|B|"},
                   {{"A", A()}, {"B", B()}},
                   {"B", "Z"},
                   false,
                   {"000|B|"},
                   {"B"},
                   "Принято смет: 1. Не принято: 1.\nСметы «Z» нет в оглавлении носителя — не принята."}),
    [](const testing::TestParamInfo<IntakeCase> &info) { return std::string(info.param.name); });

TEST(Intake, AFailingMediumKeepsWhatWasTakenAndHalfOfNothing)
{
    TempWorkspace ws;
    QTemporaryDir medium;
    ws.writeToc({});
    ws.write(medium.filePath(QStringLiteral("departments.txt")), crlf({"105|A|", "106|B|"}));
    ws.write(medium.filePath(QStringLiteral("A.xml")), A());
    ws.write(medium.filePath(QStringLiteral("B.xml")), B());
    const MediumReader failingOnB = [](const QString &path, qint64 cap) {
        if (path.endsWith(QStringLiteral("B.xml")))
            throw Error::io(IoCode::DiskRead);
        return readUntrustedFile(path, cap);
    };
    // As the window runs it: the report first, then the error that stopped the intake.
    RecordingMessages messages;
    EXPECT_FALSE(runAction(messages, [&] {
                     return importFromMedium(ws.workspace(), Medium::at(medium.path()), {}, {}, messages, false,
                                             failingOnB);
                 }).ok());
    ASSERT_EQ(messages.all().size(), 2);
    EXPECT_EQ(messages.all().at(0).kind, MessageKind::Information);
    EXPECT_EQ(messages.all().at(0).text, QStringLiteral("Принято смет: 1."));
    EXPECT_EQ(messages.all().at(1).kind, MessageKind::Error);
    EXPECT_TRUE(messages.all().at(1).text.startsWith(QStringLiteral("I/O error 100\n")))
        << qPrintable(messages.all().at(1).text);
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf({"105|A|"}));
    EXPECT_EQ(QDir(ws.baseDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("A.xml")});
}

// What a medium with a Linux file system can hold besides files: nothing is
// followed out of it, nothing is read without end.
TEST(Intake, OnlyRegularFilesOfTheMediumAreTakenAndAtMostTheCap)
{
#ifdef Q_OS_UNIX
    const auto link = [](const QString &to) { return [to](const QString &path) { return QFile::link(to, path); }; };
    const auto fifo = [](const QString &path) { return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0; };
    const auto device = [](const QString &path) {
        return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0644, makedev(1, 5)) == 0;
    };
#endif
    const auto large = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(A() + QByteArray(MaxEstimateFileBytes, ' ')) > 0;
    };
    const struct
    {
        const char *name;
        const char *file; // made on the medium by `make` instead of a regular file
        std::function<bool(const QString &)> make;
        QString said;
    } cases[] = {
    // Windows' QFile::link makes a shortcut, an ordinary file, and Windows has no FIFOs or devices in a folder.
#ifdef Q_OS_UNIX
        {"estimate_links_out", "A.xml", link(QStringLiteral("../outside.xml")), "символическая ссылка"},
        {"toc_links_out", "departments.txt", link(QStringLiteral("../outside.txt")), "символическая ссылка"},
        {"estimate_links_to_dev_zero", "A.xml", link(QStringLiteral("/dev/zero")), "символическая ссылка"},
        {"estimate_is_fifo", "A.xml", fifo, "не обычный файл"},
        {"toc_is_fifo", "departments.txt", fifo, "не обычный файл"},
        {"estimate_is_char_device", "A.xml", device, "не обычный файл"},
#endif
        {"estimate_over_cap", "A.xml", large, "больше 1 МБ"},
    };
    for (const auto &c : cases) {
        TempWorkspace ws;
        ws.writeToc({});
        QDir(ws.root()).mkpath(QStringLiteral("../medium"));
        const QString medium = ws.workspace().resolve(QStringLiteral("../medium")) + QLatin1Char('/');
        ws.write(QStringLiteral("../outside.xml"), A());
        ws.write(QStringLiteral("../outside.txt"), crlf({"105|A|"}));
        const QString made = medium + QLatin1String(c.file);
        if (QLatin1String(c.file) != QLatin1String("departments.txt"))
            ws.write(QStringLiteral("../medium/departments.txt"), crlf({"105|A|"}));
        if (!c.make(made)) {
            ADD_FAILURE() << c.name << ": cannot make " << c.file << " (" << std::strerror(errno) << ")";
            continue;
        }
        QElapsedTimer timer;
        timer.start();
        const Intake result = intake(ws, Medium::at(medium), {}, {});
        EXPECT_LT(timer.elapsed(), 3000) << c.name;
        EXPECT_EQ(result.report.taken, 0) << c.name;
        EXPECT_TRUE((result.report.text() + result.error).contains(c.said))
            << c.name << ": " << qPrintable(result.report.text() + result.error);
        EXPECT_FALSE(ws.exists(SmetaDir + QStringLiteral("A.xml"))) << c.name;
    }
}

TEST(Intake, ReplacingALinkInTheBaseLeavesWhatItNamed)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "QFile::link makes a shortcut on Windows, an ordinary file, not a link";
#endif
    TempWorkspace ws;
    QTemporaryDir medium;
    ws.writeToc({QStringLiteral("101|A|")});
    ws.write(QStringLiteral("../elsewhere.xml"), OldA());
    ASSERT_TRUE(QFile::link(ws.workspace().resolve(QStringLiteral("../elsewhere.xml")),
                            ws.workspace().estimatePath(QStringLiteral("A"))));
    ws.write(medium.filePath(QStringLiteral("departments.txt")), crlf({"105|A|"}));
    ws.write(medium.filePath(QStringLiteral("A.xml")), A());
    const Intake result = intake(ws, Medium::at(medium.path()), {}, [](const QString &) { return true; });
    EXPECT_EQ(result.report.taken, 1) << qPrintable(result.report.text() + result.error);
    EXPECT_EQ(ws.read(QStringLiteral("../elsewhere.xml")), OldA());
    EXPECT_FALSE(QFileInfo(ws.workspace().estimatePath(QStringLiteral("A"))).isSymLink());
    EXPECT_EQ(ws.read(SmetaDir + QStringLiteral("A.xml")), A());
}

void unmountMedium(const QString &medium)
{
#ifdef Q_OS_UNIX
    ::umount(QFile::encodeName(medium).constData());
#else
    Q_UNUSED(medium);
#endif
}

// Files deleted from the medium, or the medium unmounted, midway: what was
// taken stays, with its record, and the rest is an error, not "no file".
TEST(Intake, AMediumThatGoesAwayStopsTheIntake)
{
    for (const bool unmount : {false, true}) {
        TempWorkspace ws;
        ws.writeToc({});
        const QString medium = ws.workspace().resolve(QStringLiteral("../medium"));
        QDir().mkpath(medium);
#ifdef Q_OS_UNIX
        if (unmount && ::mount("tmpfs", QFile::encodeName(medium).constData(), "tmpfs", 0, "size=1m") != 0) {
            std::cout << "no tmpfs to mount (" << std::strerror(errno) << "); the unmounting row is left out\n";
            continue;
        }
#else
        if (unmount)
            continue; // no mount(2) on Windows; a removed drive is the deleted-files row there
#endif
        ws.write(QStringLiteral("../medium/departments.txt"), crlf({"105|A|", "106|B|", "107|C|"}));
        for (const char *name : {"A.xml", "B.xml", "C.xml"})
            ws.write(QStringLiteral("../medium/") + QLatin1String(name), A());
        const MediumReader goingAway = [&](const QString &path, qint64 cap) {
            UntrustedFile file = readUntrustedFile(path, cap);
            if (path.endsWith(QStringLiteral("A.xml"))) {
                if (unmount)
                    unmountMedium(medium);
                else
                    QFile::remove(medium + QStringLiteral("/B.xml"));
            }
            return file;
        };
        const Intake result = intake(ws, Medium::at(medium), {}, {}, goingAway);
        if (unmount)
            unmountMedium(medium); // when the intake failed before
        EXPECT_EQ(result.report.taken, 1) << unmount;
        EXPECT_TRUE(result.error.contains(QStringLiteral("Носитель отключён или изменён"))) << qPrintable(result.error);
        EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf({"105|A|"}));
        EXPECT_EQ(ws.read(SmetaDir + QStringLiteral("A.xml")), A());
    }
}

// A subdivision's medium lists its whole base, with few files on it: the
// report counts, the details list.
TEST(Intake, ReportCountsAndDetailsList)
{
    TempWorkspace ws;
    QTemporaryDir medium;
    ws.writeToc({QStringLiteral("101|A|")});
    ws.write(SmetaDir + QStringLiteral("A.xml"), A());
    QStringList toc = {QStringLiteral("105|A|"), QStringLiteral("106|B|")};
    for (int i = 0; i < 3000; ++i)
        toc.append(QStringLiteral("%1|нет %2|").arg(i % 1000, 3, 10, QLatin1Char('0')).arg(i));
    for (int i = 0; i < 25; ++i)
        toc.append(QStringLiteral("200|../x%1|").arg(i));
    ws.write(medium.filePath(QStringLiteral("departments.txt")), crlf(toc));
    ws.write(medium.filePath(QStringLiteral("A.xml")), A());
    ws.write(medium.filePath(QStringLiteral("B.xml")), B());
    ws.write(medium.filePath(QStringLiteral("лишний.xml")), B());

    const Intake result = intake(ws, Medium::at(medium.path()), {}, {});
    const QStringList report = result.report.text().split(QLatin1Char('\n'));
    EXPECT_EQ(report.first(), QStringLiteral("Принято смет: 1. Пропущено (уже есть в базе): 1. Не принято: 25. "
                                             "Записей оглавления без файла на носителе: 3000. Файлов на носителе "
                                             "без записи в оглавлении: 1."));
    EXPECT_EQ(report.size(), 22);
    const QStringList details = result.report.details().split(QLatin1Char('\n'));
    EXPECT_EQ(details.size(), 1 + 25 + 1 + 3000 + 1 + 1);
    EXPECT_TRUE(details.contains(QStringLiteral("042|нет 42|")));
    EXPECT_EQ(details.last(), QStringLiteral("лишний.xml"));

    const CliResult verbose = runCli({QStringLiteral("-C"), ws.root(), QStringLiteral("import"),
                                      QStringLiteral("--from"), medium.path(), QStringLiteral("--verbose")});
    EXPECT_EQ(verbose.exitCode, 1);
    EXPECT_TRUE(verbose.err.contains(QStringLiteral("\n042|нет 42|\n"))) << qPrintable(verbose.err.left(300));
}

// The central office takes a medium written by a subdivision's copy, twice,
// then meets a changed estimate.
TEST(Intake, FromOneWorkspaceToAnotherThroughTheTool)
{
    TempWorkspace office, centre;
    office.writeToc({});
    centre.writeToc({QStringLiteral("001|Своя|")});
    const QString medium = office.workspace().resolve(QStringLiteral("medium"));
    QDir().mkpath(medium);
    auto run = [](const TempWorkspace &ws, QStringList args) {
        return runCli(QStringList{QStringLiteral("-C"), ws.root()} + args);
    };
    run(office, {"register", "Кафедра физики", "--code", "101", "--notes", "основная | годовая", "--source", "1"});
    run(office, {"register", "Кафедра химии", "--code", "102", "--source", "2"});
    run(office, {"save", "Кафедра химии", "--income-code", "2", "--source", "2", "--income", "5", "--e211", "5"});
    ASSERT_EQ(run(office, {"copy", "--to", medium, "Кафедра физики", "Кафедра химии"}).exitCode, 0);

    const CliResult first = run(centre, {"import", "--from", medium});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, QStringLiteral("Принято смет: 2.\n"));
    EXPECT_EQ(centre.read(QStringLiteral("departments.txt")),
              cp1251(QStringLiteral("001|Своя|\r\n")) + office.read(QStringLiteral("departments.txt")));
    for (const QString &name : {QStringLiteral("Кафедра физики.xml"), QStringLiteral("Кафедра химии.xml")})
        EXPECT_EQ(centre.read(SmetaDir + name), office.read(SmetaDir + name));

    const QByteArray before = centre.read(QStringLiteral("departments.txt"));
    const CliResult again = run(centre, {"import", "--from", medium});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.startsWith(QStringLiteral("Принято смет: 0. Пропущено (уже есть в базе): 2.")));
    EXPECT_EQ(centre.read(QStringLiteral("departments.txt")), before);

    centre.write(SmetaDir + QStringLiteral("Кафедра химии.xml"), estimate(QStringLiteral("Смета правка")));
    const CliResult refused = run(centre, {"import", "--from", medium, "Кафедра химии"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(centre.read(SmetaDir + QStringLiteral("Кафедра химии.xml")), estimate(QStringLiteral("Смета правка")));
    EXPECT_EQ(run(centre, {"import", "--from", medium, "Кафедра химии", "--replace"}).exitCode, 0);
    EXPECT_EQ(centre.read(SmetaDir + QStringLiteral("Кафедра химии.xml")),
              office.read(SmetaDir + QStringLiteral("Кафедра химии.xml")));
    EXPECT_EQ(centre.read(QStringLiteral("departments.txt")), before);
}

TEST(Intake, ThroughTheOperationsWindowAskingBeforeAReplacement)
{
    TempWorkspace ws;
    QTemporaryDir medium;
    ws.writeToc({QStringLiteral("101|A|"), QStringLiteral("102|B|")});
    ws.write(SmetaDir + QStringLiteral("A.xml"), OldA());
    ws.write(SmetaDir + QStringLiteral("B.xml"), OldA());
    ws.write(medium.filePath(QStringLiteral("departments.txt")), crlf({"105|A|", "106|B|", "107|C|"}));
    for (const QString &name : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")})
        ws.write(medium.filePath(name + QStringLiteral(".xml")), A());

    RecordingMessages messages;
    messages.answers = {false, true};
    EstimateWindow mainWindow;
    ScriptedDelivery delivery;
    OperationsDialog window(ws.workspace(), mainWindow, messages, delivery);
    window.show();
    auto *drive = window.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    const FolderAsDrive stick(medium.path());
    if (!stick.usable())
        GTEST_SKIP() << "a drive letter defined for the folder (DefineDosDevice) does not reach it under Wine";
    drive->lineEdit()->clear();
    QTest::keyClicks(drive->lineEdit(), stick.designation());
    window.findChild<QPushButton *>(QStringLiteral("Button10"))->click();

    EXPECT_EQ(messages.questions, (QStringList{QStringLiteral("Смета «A» уже есть в базе. Заменить?"),
                                               QStringLiteral("Смета «B» уже есть в базе. Заменить?")}));
    const QStringList toc = {QStringLiteral("101|A|"), QStringLiteral("106|B|"), QStringLiteral("107|C|")};
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf(toc));
    EXPECT_EQ(ws.read(SmetaDir + QStringLiteral("A.xml")), OldA());
    EXPECT_EQ(ws.read(SmetaDir + QStringLiteral("B.xml")), A());
    EXPECT_EQ(mainWindow.selectorItems, toc);
    EXPECT_EQ(window.findChild<QListView *>(QStringLiteral("ListBox1"))->model()->rowCount(), 3);
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Принято смет: 2. Не принято: 1.\n")));
}

} // namespace
