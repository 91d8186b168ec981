#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/temp_workspace.h"

#include "domain/error.h"
#include "domain/masked_code.h"
#include "editing/registering.h"
#include "store/estimate_file.h"
#include "store/estimate_name.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"
#include "windows/state/estimate_window.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::cp1251;
using vastrel::test::crlf;
using vastrel::test::RecordingMessages;
using vastrel::test::runCli;
using vastrel::test::TempWorkspace;

namespace {

const QDate Today(2026, 1, 7);
const QStringList Toc = {QStringLiteral("101|Смета ИТ|кафедра"), QStringLiteral("000|сводная смета ( 1 )|")};

class RegisteringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ws.writeToc(Toc);
        mainWindow.selectorItems = Toc;
        mainWindow.source = 4;
        mainWindow.status = 1;
        mainWindow.remainder = QStringLiteral("50");
        mainWindow.income = QStringLiteral("100");
        mainWindow.expense(QStringLiteral("211")) = QStringLiteral("150");
        form.name = QStringLiteral("Смета ФФ");
        form.notes = QStringLiteral("физфак|2026");
        form.code = QStringLiteral("105");
    }

    Outcome store()
    {
        return runAction(messages, [&] { return storeNewEstimate(ws.workspace(), form, mainWindow, Today); });
    }

    QByteArray toc() const { return ws.read(Workspace::tocName()); }
    void expectNothingWritten() const
    {
        EXPECT_EQ(toc(), crlf(Toc));
        EXPECT_TRUE(QDir(ws.baseDir()).isEmpty());
    }

    TempWorkspace ws;
    RecordingMessages messages;
    EstimateWindow mainWindow;
    NewEstimateForm form;
};

} // namespace

TEST_F(RegisteringTest, RegistersTheTemplateTheRecordAndTheSelectorEntry)
{
    ws.writeSettings({QStringLiteral("кафедры физики"), QStringLiteral("Зав."), QStringLiteral("И.И. Иванов"),
                      QStringLiteral("007"), QStringLiteral("2"), QStringLiteral("Бухгалтер"), QStringLiteral("П.")});
    EXPECT_TRUE(store().ok());
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Смета под именем Смета ФФ успешно записана в базу.")});

    const QString record = QStringLiteral("105|Смета ФФ|физфак|2026");
    EXPECT_EQ(toc(), crlf(Toc + QStringList{record}));
    EXPECT_EQ(mainWindow.selectorItems, Toc + QStringList{record});
    EXPECT_EQ(TocRecord::split(record).notes, QStringLiteral("физфак|2026"));

    // The subdivision name from the settings; COD_LEG from the window ("обособленное лицо"),
    // source 5, remainder 50, income 100 and the window's expenses.
    const QByteArray bytes = ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ")));
    EXPECT_EQ(bytes, test::testData(QStringLiteral("registered_template.xml")));
    EXPECT_TRUE(bytes.contains(cp1251(QStringLiteral("\t\t<YEAR>07.01.2026</YEAR>\r\n\t\t<COD_FIN>0</COD_FIN>\r\n"
                                                     "\t\t<DEP>Смета кафедры физики</DEP>\r\n"))));

    EXPECT_EQ(form.name, QString());
    EXPECT_EQ(form.notes, QString());
    EXPECT_EQ(form.code, QStringLiteral("   "));
}

TEST_F(RegisteringTest, ChecksInOrderWithTheirMessages)
{
    form.name.clear();
    form.code = QStringLiteral("   ");
    mainWindow.source = -1;
    Outcome outcome = store();
    EXPECT_EQ(messages.last(), QStringLiteral("Впишите название подразделения!"));
    EXPECT_EQ(outcome.field().kind, Field::None);

    form.name = QStringLiteral("Смета ФФ");
    form.source = 2; // chosen here: reaches the main window before the code is checked
    outcome = store();
    EXPECT_EQ(messages.last(), QStringLiteral("Забыли назначить код для подразделения!"));
    EXPECT_EQ(outcome.field().kind, Field::Name);
    EXPECT_EQ(mainWindow.source, 2);

    mainWindow.source = -1;
    form.source = -1;
    form.code = QStringLiteral("105");
    outcome = store();
    EXPECT_EQ(messages.last(), QStringLiteral("Введите источник дохода!"));
    EXPECT_EQ(outcome.field().kind, Field::Source); // the form cannot show it
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(messages.all().size(), 3);
    expectNothingWritten();
}

TEST_F(RegisteringTest, NoSourceChosenHereKeepsTheMainWindowsSource)
{
    mainWindow.source = 6; // "7 валюта": empty COD_FIN
    form.source = -1;
    ASSERT_TRUE(store().ok());
    EXPECT_EQ(mainWindow.source, 6);
    EXPECT_TRUE(ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ"))).contains("\t\t<COD_FIN></COD_FIN>\r\n"));
}

TEST_F(RegisteringTest, RegisteredNameWithoutSelectionIsRefused)
{
    form.name = QStringLiteral("Смета ИТ");
    EXPECT_EQ(store().field().kind, Field::Code);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Файл с таким именем уже существует в системе!")});
    expectNothingWritten();
}

// On Windows and on a flash drive a name that differs only in case is the
// same file: registering it would replace the other estimate with an empty one.
TEST_F(RegisteringTest, NamesDifferingOnlyInCaseFromARecordOrAFileAreRefused)
{
    ws.write(Workspace::estimateName(QStringLiteral("Без записи")), QByteArray("x"));
    const std::pair<QString, QString> names[] = {{QStringLiteral("смета ИТ"), QStringLiteral("Смета ИТ")},
                                                 {QStringLiteral("БЕЗ ЗАПИСИ"), QStringLiteral("Без записи")}};
    for (const auto &[name, existing] : names) {
        form.name = name;
        messages.clear();
        EXPECT_FALSE(store().ok());
        EXPECT_EQ(messages.texts(), QStringList{caseVariantMessage(name, existing)});
        EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Файл с таким именем уже существует в системе!\n")));
        // Compared by name as written: on Windows the variant opens the other estimate's file.
        EXPECT_FALSE(
            QDir(ws.baseDir()).entryList(QDir::Files).contains(name + QStringLiteral(".xml"), Qt::CaseSensitive));
    }
    EXPECT_EQ(ws.read(Workspace::estimateName(QStringLiteral("Без записи"))), QByteArray("x"));
    form.name = QStringLiteral("Смета ИТ 2");
    EXPECT_TRUE(store().ok());
}

TEST_F(RegisteringTest, ShowThenStoreChangesOnlyTheSelectedRecord)
{
    mainWindow.selectorIndex = 0;
    NewEstimateForm loaded;
    loadSelectedRecord(ws.workspace(), mainWindow.selectedLine(), loaded);
    EXPECT_EQ(loaded.name, QStringLiteral("Смета ИТ"));
    EXPECT_EQ(loaded.code, QStringLiteral("101"));
    EXPECT_EQ(loaded.notes, QStringLiteral("кафедра"));
    EXPECT_FALSE(loaded.nameEnabled);

    form = loaded;
    EXPECT_TRUE(store().ok());
    EXPECT_TRUE(form.nameEnabled);
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Изменение в имени сметы успешно завершены!")});
    EXPECT_EQ(toc(), crlf(Toc)); // written back unchanged

    form.code = QStringLiteral("202");
    form.notes = QStringLiteral("новые | примечания");
    store();
    const QStringList changed = {QStringLiteral("202|Смета ИТ|новые | примечания"), Toc.at(1)};
    EXPECT_EQ(toc(), crlf(changed));
    EXPECT_EQ(mainWindow.selectorItems, changed);
    EXPECT_TRUE(QDir(ws.baseDir()).isEmpty()); // no estimate file is written
}

TEST_F(RegisteringTest, ExistingNameTypedWhileAnotherEstimateIsSelectedLosesNoRecord)
{
    ws.writeToc(Toc + QStringList{QStringLiteral("102|Вторая|")});
    mainWindow.selectorItems = Toc + QStringList{QStringLiteral("102|Вторая|")};
    mainWindow.selectorIndex = 2;
    form.name = QStringLiteral("Смета ИТ");
    store();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Файл с таким именем уже существует в системе!")});
    EXPECT_EQ(toc(), crlf(mainWindow.selectorItems));
}

TEST_F(RegisteringTest, ShowWithoutSelectionLeavesTheFormAlone)
{
    form.nameEnabled = true;
    const NewEstimateForm before = form;
    loadSelectedRecord(ws.workspace(), mainWindow.selectedLine(), form);
    EXPECT_EQ(form.name, before.name);
    EXPECT_TRUE(form.nameEnabled);
}

TEST_F(RegisteringTest, FileWithoutRecordIsReplaced)
{
    ws.write(Workspace::estimateName(QStringLiteral("Смета ФФ")), "old");
    ASSERT_TRUE(store().ok());
    EXPECT_TRUE(ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ"))).startsWith("<?xml"));
}

TEST_F(RegisteringTest, MissingTableOfContentsStopsAtTheNameScan)
{
    QFile::remove(ws.workspace().tocPath());
    store();
    EXPECT_EQ(messages.firstLines(), QStringList{QStringLiteral("File not found")});
    EXPECT_EQ(messages.all().first().kind, MessageKind::Error);
    EXPECT_TRUE(QDir(ws.baseDir()).isEmpty());
}

TEST_F(RegisteringTest, LineBreaksAndUnwritableTextAreRefusedBeforeWriting)
{
    form.notes = QStringLiteral("две\nстроки");
    store();
    form.notes = QStringLiteral("эмодзи 😀");
    store();
    form.notes.clear();
    mainWindow.expense(QStringLiteral("290")) = QStringLiteral("1\r\n2");
    store();
    ASSERT_EQ(messages.all().size(), 3);
    for (const auto &message : messages.all())
        EXPECT_EQ(message.kind, MessageKind::Refusal);
    expectNothingWritten();
}

// Amounts the calculation before a save would refuse never reach a template.
TEST_F(RegisteringTest, AmountsThatAreNoNumberAreRefusedAsTheCalculationRefusesThem)
{
    const std::pair<const char *, const char *> amounts[] = {
        {"remainder", "1e400"}, {"income", "NaN"}, {"211", "abc"}, {"212", "1.5"}};
    for (const auto &[field, text] : amounts) {
        EstimateWindow window = mainWindow;
        QString &target = QLatin1String(field) == QLatin1String("remainder") ? window.remainder
                          : QLatin1String(field) == QLatin1String("income")  ? window.income
                                                                             : window.expense(QLatin1String(field));
        target = QLatin1String(text);
        messages.clear();
        runAction(messages, [&] { return storeNewEstimate(ws.workspace(), form, window, Today); });
        EXPECT_EQ(messages.texts(), QStringList{Error::notAFloat(QLatin1String(text)).text()});
        expectNothingWritten();
    }
}

struct NameCase
{
    const char *name;
    const char16_t *estimateName;
};

class UnsafeName : public RegisteringTest, public ::testing::WithParamInterface<NameCase>
{};

TEST_P(UnsafeName, IsRefusedAndNothingIsWritten)
{
    form.name = QString::fromUtf16(GetParam().estimateName);
    EXPECT_EQ(store().field().kind, Field::Name);
    ASSERT_EQ(messages.all().size(), 1);
    EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
    EXPECT_TRUE(messages.last().contains(QStringLiteral("Имя")));
    expectNothingWritten();
    EXPECT_FALSE(ws.exists(QStringLiteral("evil.xml")));
}

INSTANTIATE_TEST_SUITE_P(
    Names, UnsafeName,
    ::testing::Values(NameCase{"slash_into_the_working_directory", u"../../work/evil"},
                      NameCase{"backslash", u"..\\..\\work\\evil"}, NameCase{"dot_dot", u".."},
                      NameCase{"dot_dot_inside", u"смета..2"}, NameCase{"tab", u"a\tb"},
                      NameCase{"line_break", u"a\r\nb"}, NameCase{"less_than", u"a<b"},
                      NameCase{"greater_than", u"a>b"}, NameCase{"colon", u"C:evil"}, NameCase{"double_quote", u"a\"b"},
                      NameCase{"bar_breaks_the_record", u"a|b"}, NameCase{"question_mark", u"a?"},
                      NameCase{"star", u"a*"}, NameCase{"leading_blank", u" смета"},
                      NameCase{"trailing_blank", u"смета "}, NameCase{"trailing_no_break_space", u"смета\u00a0"},
                      NameCase{"device_name", u"con"}, NameCase{"device_with_extension", u"LPT1.old"},
                      NameCase{"no_windows_1251_form", u"смета 日本"}, NameCase{"delete_character", u"a\u007fb"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(EstimateNames, OrdinaryNamesPass)
{
    for (const QString &name :
         {QStringLiteral("Смета № 5 (2026), кафедра «ИТ»"), QStringLiteral("a.b"), QStringLiteral("Смета-1; вариант 2"),
          QStringLiteral("CONSOLE"), QStringLiteral("сводная смета ( 08.12.2026_10.15.00 )")})
        EXPECT_EQ(newEstimateNameProblem(name), QString()) << qPrintable(name);
    // Names from the table of contents stay usable unless they leave the directory.
    EXPECT_EQ(storedEstimateNameProblem(QStringLiteral(" старая: смета ")), QString());
    EXPECT_FALSE(storedEstimateNameProblem(QStringLiteral("a/b")).isEmpty());
    EXPECT_FALSE(storedEstimateNameProblem(QStringLiteral("a\\b")).isEmpty());
}

// The command-line tool runs the same registration, save and show.
class EstimatesCli : public ::testing::Test
{
protected:
    void SetUp() override { ws.writeToc({QStringLiteral("001|Другая|")}); }
    vastrel::test::CliResult run(QStringList args)
    {
        return runCli(QStringList{QStringLiteral("-C"), ws.root()} + args);
    }
    TempWorkspace ws;
};

TEST_F(EstimatesCli, RegisterSaveShow)
{
    auto result =
        run({QStringLiteral("register"), QStringLiteral("Смета ФФ"), QStringLiteral("--code"), QStringLiteral("105"),
             QStringLiteral("--notes"), QStringLiteral("a|b"), QStringLiteral("--source"), QStringLiteral("5"),
             QStringLiteral("--status"), QStringLiteral("3"), QStringLiteral("--income"), QStringLiteral("100")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(result.out, QStringLiteral("Смета под именем Смета ФФ успешно записана в базу.\n"));
    EXPECT_EQ(ws.read(Workspace::tocName()), crlf({QStringLiteral("001|Другая|"), QStringLiteral("105|Смета ФФ|a|b")}));
    const QByteArray registered = ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ")));
    EXPECT_TRUE(registered.contains("\t\t<COD_FIN>0</COD_FIN>\r\n"));
    EXPECT_TRUE(registered.contains("\t\t<COD_LEG>3</COD_LEG>\r\n"));
    EXPECT_TRUE(registered.contains("\t\t<Q_2>100</Q_2>\r\n"));

    result =
        run({QStringLiteral("save"), QStringLiteral("Смета ФФ"), QStringLiteral("--income-code"),
             QStringLiteral("386 30102010010000120"), QStringLiteral("--source"), QStringLiteral("9"),
             QStringLiteral("--remainder"), QStringLiteral("0,5"), QStringLiteral("--income"), QStringLiteral("99,5"),
             QStringLiteral("--e225"), QStringLiteral("100"), QStringLiteral("--e212"), QStringLiteral("0")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(result.out, QStringLiteral("Смета успешно записана в базу.\n"));
    const QByteArray saved = ws.read(Workspace::estimateName(QStringLiteral("Смета ФФ")));
    EXPECT_TRUE(saved.contains("\t\t<COD_FIN>7</COD_FIN>\r\n"));

    result = run({QStringLiteral("show"), QStringLiteral("Смета ФФ")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    QString expected = QStringLiteral("income-code=386 30102010010000120\nsource=9\nremainder=0,5\nincome=99,5\n");
    for (const char *code : {"211", "212", "213", "221", "222", "223", "224", "225", "226", "231", "232", "241",
                             "242", "251", "253", "261", "262", "263", "290", "310", "320", "340", "530", "610"}) {
        const QString c = QString::fromLatin1(code);
        // Empty fields became "0" at the calculation; "0" is left out of the file except 241 and 610.
        const QString value = c == QLatin1String("225")                                ? QStringLiteral("100")
                              : c == QLatin1String("241") || c == QLatin1String("610") ? QStringLiteral("0")
                                                                                       : QString();
        expected += c + QLatin1Char('=') + value + QLatin1Char('\n');
    }
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(result.err, QString());
}

TEST_F(EstimatesCli, RefusalsGoToStandardErrorWithExitOne)
{
    struct Case
    {
        QStringList args;
        QString err;
    };
    const Case cases[] = {
        {{QStringLiteral("register"), QStringLiteral("Смета")},
         QStringLiteral("Забыли назначить код для подразделения!\n")},
        {{QStringLiteral("register"), QStringLiteral("Смета"), QStringLiteral("--code"), QStringLiteral("12")},
         invalidCodeMessage() + QStringLiteral("\n")},
        {{QStringLiteral("register"), QStringLiteral("Смета"), QStringLiteral("--code"), QStringLiteral("105")},
         QStringLiteral("Введите источник дохода!\n")},
        {{QStringLiteral("register"), QStringLiteral("Другая"), QStringLiteral("--code"), QStringLiteral("105"),
          QStringLiteral("--source"), QStringLiteral("1")},
         QStringLiteral("Файл с таким именем уже существует в системе!\n")},
        {{QStringLiteral("save"), QStringLiteral("Нет такой"), QStringLiteral("--income"), QStringLiteral("1")},
         QStringLiteral("Введите имя для сметы!\n")},
        {{QStringLiteral("save"), QStringLiteral("Другая"), QStringLiteral("--income"), QStringLiteral("1 000")},
         QStringLiteral("'1 000' is not a valid floating point value\nСумма «1 000» — не число в локали ru_RU: "
                        "дробную часть отделяйте знаком «,», цифры пишите без пробелов.\n")},
        {{QStringLiteral("show"), QStringLiteral("Другая")}, QStringLiteral("Введите имя для редактируемой сметы!\n")},
    };
    for (const Case &c : cases) {
        const auto result = run(c.args);
        EXPECT_EQ(result.exitCode, 1) << qPrintable(c.args.join(QLatin1Char(' ')));
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, QString());
    }
    EXPECT_EQ(ws.read(Workspace::tocName()), crlf({QStringLiteral("001|Другая|")}));
    EXPECT_TRUE(QDir(ws.baseDir()).isEmpty());
}

TEST_F(EstimatesCli, ConsolidatedEstimateIsNotShown)
{
    ws.writeToc({QStringLiteral("000|сводная смета ( 1 )|")});
    ws.write(Workspace::estimateName(QStringLiteral("сводная смета ( 1 )")), "x\r\n");
    const auto result = run({QStringLiteral("show"), QStringLiteral("сводная смета ( 1 )")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, QStringLiteral("Невозможно показать сводную смету\r\n\nДля просмотра сводной сметы "
                                         "воспользуйтесь\r\n\nэкспортом сводной сметы в Excel в \"операциях со "
                                         "сметами\"!\n"));
    EXPECT_EQ(result.out, QString());
}

TEST_F(EstimatesCli, WrongCommandLinesAreUsageErrors)
{
    EXPECT_EQ(run({QStringLiteral("show")}).exitCode, 2);
    EXPECT_EQ(run({QStringLiteral("save"), QStringLiteral("a"), QStringLiteral("b")}).exitCode, 2);
    EXPECT_EQ(run({QStringLiteral("register"), QStringLiteral("a"), QStringLiteral("--code")}).exitCode, 2);
    EXPECT_EQ(run({QStringLiteral("register"), QStringLiteral("--code"), QStringLiteral("105")}).exitCode, 2);
}
