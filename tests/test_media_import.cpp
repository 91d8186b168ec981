#include "base/error.h"
#include "base/estimate_file.h"
#include "base/estimate_file_check.h"
#include "base/text_file.h"
#include "operations/media_import.h"
#include "windows/operations_dialog.h"
#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vastrel;
using namespace vastrel::test;

namespace {

const QString SmetaDir = QStringLiteral("../Vastrel/smetas/");

QByteArray estimate(const QString &department, const QString &amount = QStringLiteral("1,5"))
{
    const QStringList lines = estimateFileLines(
        {QStringLiteral("2026"), QStringLiteral("1"), department, QStringLiteral("105"), QStringLiteral("1")},
        {{{QStringLiteral("CODE"), QStringLiteral("211")}, {QStringLiteral("SUM_YEAR"), amount}}});
    return cp1251(crlfLines(lines));
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
{
};

// Built when called: the writers' texts are not ready during static initialisation.
QByteArray A() { return estimate(QStringLiteral("Смета A")); }
QByteArray B() { return estimate(QStringLiteral("Смета B")); }
QByteArray OldA() { return estimate(QStringLiteral("Смета A"), QStringLiteral("7")); }

TEST_P(IntakeCases, TakesWhatItMayAndReportsTheRest)
{
    const IntakeCase &c = GetParam();
    TempWorkspace ws;
    QTemporaryDir medium;
    ws.writeToc(c.baseToc);
    for (const auto &[name, bytes] : c.baseFiles)
        ws.write(SmetaDir + name + QStringLiteral(".xml"), bytes);
    ws.write(medium.filePath(QStringLiteral("departments.txt")), crlf(c.mediumToc));
    for (const auto &[name, bytes] : c.mediumFiles)
        ws.write(medium.filePath(name + QStringLiteral(".xml")), bytes);

    const IntakeResult result = importFromMedium(ws.workspace(), Medium::at(medium.path()), c.names,
                                                 [&](const QString &) { return c.consent; });
    EXPECT_EQ(result.report() + result.error, c.expectedReport);
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf(c.expectedToc));
    // Taken estimates hold the medium's bytes; every other file of the base is untouched.
    for (const auto &[name, bytes] : c.mediumFiles) {
        if (c.fromMedium.contains(name))
            EXPECT_EQ(ws.read(SmetaDir + name + QStringLiteral(".xml")), bytes) << name.toStdString();
    }
    for (const auto &[name, bytes] : c.baseFiles) {
        if (!c.fromMedium.contains(name))
            EXPECT_EQ(ws.read(SmetaDir + name + QStringLiteral(".xml")), bytes) << name.toStdString();
    }
    EXPECT_FALSE(ws.exists(QStringLiteral("../Vastrel/x.xml")));
}

INSTANTIATE_TEST_SUITE_P(
    Each, IntakeCases,
    testing::Values(
        IntakeCase{"new_estimates_keep_code_and_notes", {"101|C|"}, {{"C", B()}}, {"105|A|курсы | годовые", "000|B|"},
                   {{"A", A()}, {"B", B()}}, {}, false,
                   {"101|C|", "105|A|курсы | годовые", "000|B|"}, {"A", "B"},
                   "Принято смет: 2."},
        IntakeCase{"identical_is_skipped", {"101|A|своя"}, {{"A", A()}}, {"105|A|чужая"}, {{"A", A()}}, {}, true,
                   {"101|A|своя"}, {}, "Принято смет: 0.\nСмета «A» уже есть в базе — пропущена."},
        IntakeCase{"different_kept_without_consent", {"101|A|"}, {{"A", OldA()}}, {"105|A|"}, {{"A", A()}}, {}, false,
                   {"101|A|"}, {},
                   "Принято смет: 0.\nСмета «A» уже есть в базе и отличается от сметы на носителе — не заменена."},
        IntakeCase{"replaced_estimate_keeps_one_record", {"101|A|старая", "102|C|", "103|A|"}, {{"A", OldA()}},
                   {"105|A|новая"}, {{"A", A()}}, {}, true, {"105|A|новая", "102|C|"}, {"A"}, "Принято смет: 1."},
        IntakeCase{"file_listed_nowhere_gets_its_record", {}, {{"A", A()}}, {"105|A|"}, {{"A", A()}}, {}, false,
                   {"105|A|"}, {"A"}, "Принято смет: 1."},
        IntakeCase{"orphans_are_listed_not_taken", {}, {}, {"105|A|", "106|D|"}, {{"A", A()}, {"E", B()}}, {}, false,
                   {"105|A|"}, {"A"},
                   "Принято смет: 1.\nЗапись «106|D|»: файла D.xml на носителе нет — не принята.\n"
                   "Файл «E.xml» на носителе без записи в оглавлении — не принят."},
        IntakeCase{"refuses_what_is_no_estimate_and_unsafe_names", {}, {}, {"105|A|", "106|../x|", "107||"},
                   {{"A", "<?xml?>\r\n"}}, {}, false, {}, {},
                   "Принято смет: 0.\nФайл «A.xml» на носителе не является файлом сметы (строка 1: ожидалось "
                   "«<?xml version='1.0' encoding='windows-1251' standalone='yes'?>») — не принят.\n"
                   "Смета «../x» не принята: Имя сметы «../x» содержит знак «/» или «\\». Имя сметы служит именем "
                   "её файла в базе и не может содержать эти знаки.\nЗапись «107||» без имени сметы — не принята."},
        IntakeCase{"named_estimates_only", {}, {}, {"105|A|", "000|B|"}, {{"A", A()}, {"B", B()}}, {"B", "Z"}, false,
                   {"000|B|"}, {"B"}, "Принято смет: 1.\nСметы «Z» нет в оглавлении носителя — не принята."}),
    [](const testing::TestParamInfo<IntakeCase> &info) { return std::string(info.param.name); });

TEST(Intake, AFailingMediumKeepsWhatWasTakenAndHalfOfNothing)
{
    TempWorkspace ws;
    QTemporaryDir medium;
    ws.writeToc({});
    ws.write(medium.filePath(QStringLiteral("departments.txt")), crlf({"105|A|", "106|B|"}));
    ws.write(medium.filePath(QStringLiteral("A.xml")), A());
    ws.write(medium.filePath(QStringLiteral("B.xml")), B());
    const MediumReader failingOnB = [](const QString &path) {
        if (path.endsWith(QStringLiteral("B.xml")))
            throw Error::io(IoCode::DiskRead);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };
    const IntakeResult result = importFromMedium(ws.workspace(), Medium::at(medium.path()), {}, {}, failingOnB);
    EXPECT_EQ(result.taken, 1);
    EXPECT_TRUE(result.error.startsWith(QStringLiteral("I/O error 100\r\n"))) << qPrintable(result.error);
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf({"105|A|"}));
    EXPECT_EQ(QDir(ws.baseDir()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("A.xml")});
}

TEST(EstimateFileCheck, AcceptsTheThreeKindsAndRefusesDamage)
{
    TemplateEstimate templ;
    templ.today = QDate(2026, 1, 2);
    templ.source = 0;
    const QStringList kinds[] = {
        textLines(A()), templateEstimateLines(templ),
        estimateFileLines({}, consolidatedRecords({{QStringLiteral("a<b"), QString(), QString(), true}}))};
    for (const QStringList &lines : kinds)
        EXPECT_EQ(estimateFileProblem(lines), QString()) << lines.join('\n').toStdString();

    const QStringList good = textLines(A());
    const std::pair<const char *, QStringList> damaged[] = {
        {"cut short", good.mid(0, good.size() - 1)},
        {"text after the end", good + QStringList{QStringLiteral("x")}},
        {"unknown element", QStringList(good).replaceInStrings(QStringLiteral("SUM_YEAR"), QStringLiteral("SUM"))},
    };
    for (const auto &[what, lines] : damaged)
        EXPECT_NE(estimateFileProblem(lines), QString()) << what;
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
    for (const QString name : {QStringLiteral("Кафедра физики.xml"), QStringLiteral("Кафедра химии.xml")})
        EXPECT_EQ(centre.read(SmetaDir + name), office.read(SmetaDir + name));

    const QByteArray before = centre.read(QStringLiteral("departments.txt"));
    const CliResult again = run(centre, {"import", "--from", medium});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.startsWith(QStringLiteral("Принято смет: 0.\nСмета «Кафедра физики» уже есть")));
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
    for (const QString name : {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")})
        ws.write(medium.filePath(name + QStringLiteral(".xml")), A());

    RecordingMessages messages;
    messages.answers = {false, true};
    EstimateWindow mainWindow;
    ScriptedDelivery delivery;
    OperationsDialog window(ws.workspace(), mainWindow, messages, delivery);
    window.show();
    auto *drive = window.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    drive->lineEdit()->clear();
    QTest::keyClicks(drive->lineEdit(), medium.path());
    window.findChild<QPushButton *>(QStringLiteral("Button10"))->click();

    EXPECT_EQ(messages.questions, (QStringList{QStringLiteral("Смета «A» уже есть в базе. Заменить?"),
                                               QStringLiteral("Смета «B» уже есть в базе. Заменить?")}));
    const QStringList toc = {QStringLiteral("101|A|"), QStringLiteral("106|B|"), QStringLiteral("107|C|")};
    EXPECT_EQ(ws.read(QStringLiteral("departments.txt")), crlf(toc));
    EXPECT_EQ(ws.read(SmetaDir + QStringLiteral("A.xml")), OldA());
    EXPECT_EQ(ws.read(SmetaDir + QStringLiteral("B.xml")), A());
    EXPECT_EQ(mainWindow.selectorItems, toc);
    EXPECT_EQ(window.findChild<QListView *>(QStringLiteral("ListBox1"))->model()->rowCount(), 3);
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Принято смет: 2.\n")));
}

} // namespace
