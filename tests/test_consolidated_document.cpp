#include "domain/error.h"
#include "export/consolidated_document.h"
#include "export/sheet_model.h"
#include "export/xlsx_backend.h"
#include "store/table_of_contents.h"

#include "support/cli_runner.h"
#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"
#include "support/xlsx_reader.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;
using vastrel::test::XlsxSheet;

namespace {

const QDate Today(2026, 3, 15);
const QString EstimateName = QStringLiteral("сводная смета ( 15.03.2026_10-20-30 )");

struct Record
{
    QString description, code;
    bool withBreakdownCode;
    QString amount;
};

// An estimate file as the summing writes it: CR LF lines in Windows-1251.
QStringList fileLines(const QList<Record> &records)
{
    QStringList lines = {
        QStringLiteral("<?xml version='1.0' encoding='windows-1251' standalone='yes'?>"),
        QStringLiteral("<SMETA xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>"),
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<YEAR>2025</YEAR>"),
        QStringLiteral("\t\t<COD_FIN>СВОДНАЯ СМЕТА</COD_FIN>"),
        QStringLiteral("\t\t<DEP>Смета кафедры истории</DEP>"),
        QStringLiteral("\t\t<COD_DEP>123</COD_DEP>"),
        QStringLiteral("\t\t<COD_LEG>1</COD_LEG>"),
        QStringLiteral("\t</COLUMN>"),
    };
    for (const Record &r : records) {
        lines << QStringLiteral("\t<COLUMN>") << QStringLiteral("\t\t<DESCRIPTION>%1</DESCRIPTION>").arg(r.description)
              << QStringLiteral("\t\t<CODE>%1</CODE>").arg(r.code);
        if (r.withBreakdownCode)
            lines << QStringLiteral("\t\t<CODE_RASCH></CODE_RASCH>");
        lines << QStringLiteral("\t\t<SUM_YEAR>%1</SUM_YEAR>").arg(r.amount) << QStringLiteral("\t</COLUMN>");
    }
    lines << QStringLiteral("</SMETA>");
    return lines;
}

const QList<Record> consolidated = {
    {QStringLiteral("I. Остаток средств на 01.01.2026"), QString(), true, QStringLiteral("50")},
    {QStringLiteral("II. Доходы по кодам классификации доходов бюджетной классификации Российской Федерации"),
     QStringLiteral("386 30000000000000000"), true, QString()},
    {QStringLiteral("ДОХОДЫ ОТ ПРОДАЖИ ТОВАРОВ И УСЛУГ"), QStringLiteral("386 30200000000000000"), true,
     QStringLiteral("1000")},
    {QStringLiteral("Доходы от оказания услуг федеральными учреждениями"), QStringLiteral("386 30201010010000130"),
     true, QStringLiteral("1000")},
    {QStringLiteral("ИТОГО"), QString(), true, QStringLiteral("1000")},
    {QStringLiteral("ИТОГО ДОХОДОВ"), QString(), true, QStringLiteral("1050")},
    {QStringLiteral("III. Расходы по классификации операций сектора государственного управления бюджетной "
                    "классификации Российской Федерации"),
     QStringLiteral("386 00000000000000200"), true, QString()},
    {QStringLiteral("Расходы"), QString(), true, QString()},
    {QStringLiteral("Оплата труда и начисления на выплаты по оплате труда"), QStringLiteral("386 00000000000000210"),
     true, QStringLiteral("1026,2")},
    {QStringLiteral("Заработная плата"), QStringLiteral("386 00000000000000211"), false, QStringLiteral("1000")},
    {QStringLiteral("Начисления на выплаты по оплате труда"), QStringLiteral("386 00000000000000213"), false,
     QStringLiteral("26,2")},
    {QStringLiteral("ИТОГО"), QString(), true, QStringLiteral("1026,2")},
    {QStringLiteral("Безвозмездные и безвозвратные перечисления государственным и муниципальным организациям"),
     QStringLiteral("386 00000000000000241"), true, QStringLiteral("0")},
    {QStringLiteral("ИТОГО РАСХОДОВ"), QString(), true, QStringLiteral("0,00")},
};

QStringList settings(const QString &code)
{
    return {QStringLiteral("кафедры истории"),
            QStringLiteral("Заведующий кафедрой"),
            QStringLiteral("И.И. Иванов"),
            code,
            QStringLiteral("1"),
            QStringLiteral("Бухгалтер"),
            QStringLiteral("Петрова А.А.")};
}

class ConsolidatedTest : public ::testing::Test
{
protected:
    void writeEstimate(const QList<Record> &records, const QString &name = EstimateName)
    {
        files.write(Workspace::estimateName(name), vastrel::test::crlf(fileLines(records)));
    }

    XlsxSheet exportEstimate(const QString &name = EstimateName)
    {
        const ConsolidatedData data = prepareConsolidated(files.workspace(), name, Today);
        SheetModel book;
        writeConsolidated(book, data);
        const QString path = files.workspace().resolve(QStringLiteral("refined.xlsx"));
        saveXlsx(book, path);
        XlsxSheet sheet = XlsxSheet::read(path);
        EXPECT_TRUE(sheet.error().isEmpty()) << qPrintable(sheet.error());
        return sheet;
    }

    TempWorkspace files;
    RecordingMessages messages;
};

} // namespace

TEST_F(ConsolidatedTest, OneRowPerRecordInFileOrder)
{
    files.writeSettings(settings(QStringLiteral("123")));
    writeEstimate(consolidated);
    const XlsxSheet sheet = exportEstimate();
    for (int i = 0; i < consolidated.size(); ++i) {
        const QString r = QString::number(16 + i);
        const Record &record = consolidated[i];
        EXPECT_EQ(sheet.text(QStringLiteral("A") + r), record.description) << i;
        EXPECT_TRUE(sheet.hasMerge(QStringLiteral("A%1:C%1").arg(r))) << i;
        const auto label = sheet.cell(QStringLiteral("A") + r);
        EXPECT_FALSE(label.format.bold) << i;
        EXPECT_TRUE(label.format.wrap) << i;
        EXPECT_EQ(label.format.vertical, QStringLiteral("top"));
        EXPECT_TRUE(label.format.thinBorders);
        const auto code = sheet.cell(QStringLiteral("D") + r);
        EXPECT_FALSE(code.format.bold) << i;
        EXPECT_DOUBLE_EQ(code.format.fontSize, 8);
        EXPECT_EQ(code.format.horizontal, QStringLiteral("center"));
        EXPECT_EQ(sheet.cell(QStringLiteral("E") + r).format.numberFormat, QStringLiteral("#,##0.00")) << i;
        EXPECT_TRUE(sheet.cell(QStringLiteral("E") + r).format.thinBorders);
    }
    // The income heading has no code cell text; codes are text, as written.
    EXPECT_TRUE(sheet.cell(QStringLiteral("D17")).isBlank());
    EXPECT_EQ(sheet.text(QStringLiteral("D22")), QStringLiteral("386 00000000000000200"));
    EXPECT_EQ(sheet.cell(QStringLiteral("D25")).type, QStringLiteral("s"));

    // Amounts: numbers; "0" and empty give an empty cell; "0,00" the number 0.
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E16")), 50);
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E26")), 26.2);
    EXPECT_TRUE(sheet.cell(QStringLiteral("E17")).isBlank());
    EXPECT_TRUE(sheet.cell(QStringLiteral("E23")).isBlank());
    EXPECT_TRUE(sheet.cell(QStringLiteral("E28")).isBlank());
    EXPECT_EQ(sheet.cell(QStringLiteral("E29")).text, QStringLiteral("0"));
    for (int row : sheet.rows())
        EXPECT_TRUE(sheet.cell(QStringLiteral("E%1").arg(row)).formula.isEmpty()) << row;

    // Bold amounts: the totals and the group sums of the list.
    const QList<int> bold = {18, 20, 21, 24, 27, 29};
    for (int row = 16; row < 16 + consolidated.size(); ++row)
        EXPECT_EQ(sheet.cell(QStringLiteral("E%1").arg(row)).format.bold, bold.contains(row)) << row;

    // Heights: tripled for the headings, the group 303 and 241; doubled for 130 and 210;
    // a label that needs more lines gets them.
    const QMap<int, double> heights = {{17, 38.25}, {19, 25.5}, {22, 38.25}, {24, 25.5}, {28, 38.25}, {16, 12.75}};
    for (auto it = heights.cbegin(); it != heights.cend(); ++it)
        EXPECT_GE(sheet.rowHeight(it.key()), it.value()) << it.key();
    EXPECT_DOUBLE_EQ(sheet.rowHeight(16), 12.75);

    // The signature block after one empty row.
    const int r = 16 + int(consolidated.size()) + 1;
    EXPECT_FALSE(sheet.rows().contains(r - 1));
    EXPECT_EQ(sheet.text(QStringLiteral("D%1").arg(r)), QStringLiteral("\"СОГЛАСОВАНО\""));
    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("D%1:E%1").arg(r)));
    EXPECT_EQ(sheet.text(QStringLiteral("D%1").arg(r + 1)), QStringLiteral("Зам. проректора - начальник"));
    EXPECT_EQ(sheet.text(QStringLiteral("A%1").arg(r + 1)), QStringLiteral("Заведующий кафедрой"));
    EXPECT_EQ(sheet.cell(QStringLiteral("A%1").arg(r + 1)).format.horizontal, QStringLiteral("left"));
    EXPECT_EQ(sheet.text(QStringLiteral("D%1").arg(r + 2)), QStringLiteral("Гемтар"));
    EXPECT_TRUE(
        sheet.text(QStringLiteral("D%1").arg(r + 3)).startsWith(QString(17, QLatin1Char('_')) + QLatin1Char(' ')));
    EXPECT_EQ(sheet.text(QStringLiteral("A%1").arg(r + 3)), QStringLiteral("_____________________ И.И. Иванов"));
    EXPECT_EQ(sheet.cell(QStringLiteral("A%1").arg(r + 3)).format.horizontal, QStringLiteral("right"));
    EXPECT_FALSE(sheet.rows().contains(r + 4));
    EXPECT_EQ(sheet.text(QStringLiteral("D%1").arg(r + 5)), QStringLiteral("\"_____\" _____________"));
    EXPECT_EQ(sheet.text(QStringLiteral("A%1").arg(r + 5)), QStringLiteral("\"_____\" _____________"));
    EXPECT_FALSE(sheet.cell(QStringLiteral("D%1").arg(r)).format.thinBorders);
    EXPECT_TRUE(sheet.cell(QStringLiteral("D%1").arg(r)).format.bold);
    EXPECT_EQ(sheet.lastRow(), r + 5);
}

TEST_F(ConsolidatedTest, HeadOfTheSheet)
{
    files.writeSettings(settings(QStringLiteral("123")));
    writeEstimate(consolidated);
    const XlsxSheet sheet = exportEstimate();
    EXPECT_EQ(sheet.footer(), QStringLiteral("&L&7Вастрель - Тавер, разработка ИВЦ Тавер, 2026"));
    EXPECT_EQ(sheet.orientation(), QStringLiteral("portrait"));
    EXPECT_EQ(sheet.printTitles(), QStringLiteral("'Лист1'!$2:$3"));

    EXPECT_EQ(sheet.text(QStringLiteral("A1")), QString(12, QLatin1Char(' ')));
    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("A1:B1")));
    EXPECT_EQ(sheet.text(QStringLiteral("A2")), QString(15, QLatin1Char(' ')));
    EXPECT_TRUE(sheet.cell(QStringLiteral("A3")).isBlank());
    EXPECT_DOUBLE_EQ(sheet.cell(QStringLiteral("A3")).format.fontSize, 12);
    EXPECT_EQ(sheet.text(QStringLiteral("A4")), QString(21, QLatin1Char(' ')));
    EXPECT_EQ(sheet.text(QStringLiteral("B4")), QString(13, QLatin1Char(' ')));
    EXPECT_EQ(sheet.text(QStringLiteral("A6")), QString(18, QLatin1Char(' ')));
    EXPECT_EQ(sheet.text(QStringLiteral("C1")), QStringLiteral("\"УТВЕРЖДАЮ\""));
    EXPECT_EQ(sheet.text(QStringLiteral("C2")), QStringLiteral("Ректор Тавер"));
    EXPECT_FALSE(sheet.text(QStringLiteral("C3")).isEmpty());
    EXPECT_TRUE(sheet.text(QStringLiteral("C4")).startsWith(QString(17, QLatin1Char('_')) + QLatin1Char(' ')));
    EXPECT_EQ(sheet.text(QStringLiteral("C6")), QStringLiteral("\"_____\" _____________"));
    for (const char *ref : {"C1", "C2", "C3", "C4", "C6"}) {
        EXPECT_EQ(sheet.cell(QString::fromLatin1(ref)).format.horizontal, QStringLiteral("right")) << ref;
        EXPECT_TRUE(sheet.cell(QString::fromLatin1(ref)).format.bold) << ref;
    }

    EXPECT_EQ(sheet.text(QStringLiteral("A9")), QStringLiteral("Уточненная смета доходов и расходов"));
    EXPECT_DOUBLE_EQ(sheet.cell(QStringLiteral("A9")).format.fontSize, 12);
    EXPECT_EQ(sheet.text(QStringLiteral("A10")), QStringLiteral("по приносящей доход деятельности на 2026 год"));
    EXPECT_EQ(sheet.text(QStringLiteral("A11")), QStringLiteral("кафедры истории\r\nТавер"));
    EXPECT_EQ(sheet.cell(QStringLiteral("A11")).format.vertical, QStringLiteral("center"));
    EXPECT_DOUBLE_EQ(sheet.rowHeight(11), 25.5);
    EXPECT_EQ(sheet.text(QStringLiteral("A13")), QStringLiteral("Единица измерения:"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("B13")).format.italic);

    // "Наименование" stands in the merged A14:C15, ruled all round.
    EXPECT_TRUE(sheet.hasMerge(QStringLiteral("A14:C15")));
    EXPECT_FALSE(sheet.hasMerge(QStringLiteral("A14:A15")));
    EXPECT_EQ(sheet.text(QStringLiteral("A14")), QStringLiteral("Наименование"));
    EXPECT_TRUE(sheet.cell(QStringLiteral("C15")).format.thinBorders);
    EXPECT_EQ(sheet.text(QStringLiteral("D14")), QStringLiteral("Коды"));
    EXPECT_EQ(sheet.text(QStringLiteral("E14")), QStringLiteral("Сумма средств на год"));
    EXPECT_EQ(sheet.cell(QStringLiteral("E14")).format.vertical, QStringLiteral("top"));
    for (int row : {5, 7, 8, 12})
        EXPECT_FALSE(sheet.rows().contains(row)) << row;
}

TEST_F(ConsolidatedTest, SubdivisionWithTheShortUniversityName)
{
    files.writeSettings(settings(QStringLiteral("456")));
    writeEstimate(consolidated);
    const XlsxSheet sheet = exportEstimate();
    EXPECT_EQ(sheet.text(QStringLiteral("A11")), QStringLiteral("кафедры истории\r\nТГУ"));
}

TEST_F(ConsolidatedTest, NoRecordsAndNoSettings)
{
    writeEstimate({});
    const XlsxSheet sheet = exportEstimate();
    EXPECT_EQ(sheet.text(QStringLiteral("A11")), QStringLiteral("\r\nТавер"));
    EXPECT_FALSE(sheet.rows().contains(16));
    EXPECT_EQ(sheet.text(QStringLiteral("D17")), QStringLiteral("\"СОГЛАСОВАНО\""));
    EXPECT_TRUE(sheet.cell(QStringLiteral("A18")).isBlank());
    EXPECT_EQ(sheet.text(QStringLiteral("A20")), QStringLiteral("_____________________ "));
}

TEST_F(ConsolidatedTest, AnyEstimateBecomesRowsAsItIs)
{
    const QStringList lines = {
        QStringLiteral("\t<COLUMN>"),
        QStringLiteral("\t\t<DESCRIPTION>остаток</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>38630201010010000130*</CODE>"),
        QStringLiteral("\t\t<CODE_RASCH>2</CODE_RASCH>"),
        QStringLiteral("\t\t<SUM_YEAR>5</SUM_YEAR>"),
        QStringLiteral("\t</COLUMN>"),
        QString(),
        QStringLiteral("\t\t<DESCRIPTION>Заработная плата</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>211</CODE>"),
        QStringLiteral("\t\t<SUM_YEAR>7,5</SUM_YEAR>"),
        // A new estimate's template.
        QStringLiteral("\t\t<DESCRIPTION>Остаток с начала года</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>38630201010010000130*</CODE>"),
        QStringLiteral("\t\t<Q_2>100</Q_2>"),
        // Cut short by the end of the file.
        QStringLiteral("\t\t<DESCRIPTION>Прочие</DESCRIPTION>"),
        QStringLiteral("\t\t<CODE>290</CODE>"),
    };
    const QList<DocumentRecord> records = documentRecords(lines);
    ASSERT_EQ(records.size(), 4);
    EXPECT_EQ(records[0].code, QStringLiteral("38630201010010000130*"));
    EXPECT_EQ(records[0].amount, QStringLiteral("5"));
    EXPECT_EQ(records[1].code, QStringLiteral("211"));
    EXPECT_EQ(records[1].amount, QStringLiteral("7,5"));
    EXPECT_EQ(records[2].amount, QStringLiteral("0"));
    EXPECT_EQ(records[3].description, QStringLiteral("Прочие"));
    EXPECT_EQ(records[3].amount, QStringLiteral("0"));
    EXPECT_TRUE(documentRecords(QStringList{QStringLiteral("\t\t<DESCRIPTION>")}).size() == 1);
    EXPECT_TRUE(documentRecords(QStringList{QString(), QString()}).isEmpty());
}

TEST_F(ConsolidatedTest, OneEstimateMustBeSelected)
{
    EXPECT_FALSE(report(messages, estimateToExport({})).ok());
    EXPECT_EQ(messages.last(), QStringLiteral("Выделите смету для экспорта!"));
    EXPECT_FALSE(report(messages, estimateToExport({EstimateName, QStringLiteral("смета кафедры")})).ok());
    EXPECT_EQ(messages.last(), QStringLiteral("Выделите одну смету для экспорта!"));
    EXPECT_EQ(report(messages, estimateToExport({QStringLiteral("смета кафедры")})).value(),
              QStringLiteral("смета кафедры"));
}

TEST_F(ConsolidatedTest, WindowExportClosesTheWindowOnlyWhenTheRowsAreWritten)
{
    const QStringList lines = {QStringLiteral("000|") + EstimateName + QStringLiteral("|")};
    test::ScriptedDelivery delivery;
    const QString target = files.workspace().resolve(QStringLiteral("уточненная.xlsx"));
    QString suggested;
    int opened = 0;
    delivery.choose = [&](const QString &path) {
        suggested = path;
        return target;
    };
    delivery.opening = [&](const QString &) {
        ++opened;
        return true;
    };

    // Missing file: the error, the window stays, nothing asked.
    EXPECT_FALSE(
        exportConsolidatedFromWindow(nullptr, delivery, files.workspace(), {estimateNameOf(lines.at(0))}, messages));
    EXPECT_EQ(messages.lastFirstLine(), QStringLiteral("File not found"));
    EXPECT_TRUE(suggested.isEmpty());

    // An amount that is no number: the file is damaged, nothing kept.
    QList<Record> bad = consolidated;
    bad[3].amount = QStringLiteral("1 000");
    writeEstimate(bad);
    EXPECT_FALSE(
        exportConsolidatedFromWindow(nullptr, delivery, files.workspace(), {estimateNameOf(lines.at(0))}, messages));
    EXPECT_TRUE(messages.last().contains(QStringLiteral("поврежден: строка ")));
    EXPECT_TRUE(messages.last().endsWith(QStringLiteral("сумма «1 000» не число (нужны цифры с запятой или точкой, без "
                                                        "пробелов между разрядами). Документ не составлен.")))
        << messages.last().toStdString();
    EXPECT_FALSE(QFile::exists(target));

    writeEstimate(consolidated);
    messages.clear();
    EXPECT_TRUE(
        exportConsolidatedFromWindow(nullptr, delivery, files.workspace(), {estimateNameOf(lines.at(0))}, messages));
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("Уточненная смета сводная смета ( 15.03.2026_10-20-30 ).xlsx")))
        << qPrintable(suggested);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(XlsxSheet::read(target).text(QStringLiteral("A16")), consolidated.first().description);

    // Declining to keep it keeps the window and its selection.
    QFile::remove(target);
    delivery.choose = [&](const QString &) { return QString(); };
    EXPECT_FALSE(
        exportConsolidatedFromWindow(nullptr, delivery, files.workspace(), {estimateNameOf(lines.at(0))}, messages));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(opened, 1);

    // The base is never a document's place: refused, nothing written, nothing opened.
    for (const QString &place :
         {QStringLiteral("../Vastrel/smetas/уточненная"), QStringLiteral("../Vastrel/smetas/у.pdf")}) {
        delivery.choose = [&](const QString &) { return files.workspace().resolve(place); };
        messages.clear();
        // Nothing kept: the window stays for another choice.
        EXPECT_FALSE(exportConsolidatedFromWindow(nullptr, delivery, files.workspace(), {estimateNameOf(lines.at(0))},
                                                  messages));
        ASSERT_EQ(messages.all().size(), 1);
        EXPECT_EQ(messages.all().first().kind, MessageKind::Refusal);
        EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Документ нельзя записать в ")))
            << qPrintable(messages.last());
    }
    EXPECT_EQ(QDir(files.baseDir()).entryList(QDir::Files), QStringList{EstimateName + QStringLiteral(".xml")});
    EXPECT_EQ(opened, 1);
}

TEST_F(ConsolidatedTest, CommandLine)
{
    files.writeSettings(settings(QStringLiteral("123")));
    files.writeToc({QStringLiteral("000|") + EstimateName + QStringLiteral("|"), QStringLiteral("101|другая|"),
                    QStringLiteral("102|другая|")});
    writeEstimate(consolidated);
    const QString root = files.root();
    const auto result = vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-consolidated"),
                                               EstimateName, QStringLiteral("-o"), QStringLiteral("r.xlsx")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    const XlsxSheet sheet = XlsxSheet::read(QDir(root).filePath(QStringLiteral("r.xlsx")));
    EXPECT_EQ(sheet.text(QStringLiteral("A10")), QStringLiteral("по приносящей доход деятельности на ") +
                                                     QString::number(QDate::currentDate().year()) +
                                                     QStringLiteral(" год"));
    EXPECT_DOUBLE_EQ(sheet.number(QStringLiteral("E16")), 50);

    // The same document drawn as PDF: real text in the order it prints, fractions with a comma.
    const auto pdf = vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-consolidated"),
                                            EstimateName, QStringLiteral("-o"), QStringLiteral("r.pdf")});
    EXPECT_EQ(pdf.exitCode, 0) << qPrintable(pdf.err);
    VASTREL_SKIP_WITHOUT_PDFTOTEXT();
    const QString text = vastrel::test::pdfText(QDir(root).filePath(QStringLiteral("r.pdf")));
    EXPECT_EQ(
        vastrel::test::firstOutOfOrder(
            text, {QStringLiteral("\"УТВЕРЖДАЮ\""), QStringLiteral("Уточненная смета доходов и расходов"),
                   QStringLiteral("кафедры истории"), QStringLiteral("Сумма средств на год"),
                   QStringLiteral("I. Остаток средств на 01.01.2026"), QStringLiteral("50,00"),
                   QStringLiteral("ИТОГО ДОХОДОВ"), QStringLiteral("1 050,00"), QStringLiteral("386 00000000000000213"),
                   QStringLiteral("26,20"), QStringLiteral("ИТОГО РАСХОДОВ"), QStringLiteral("\"СОГЛАСОВАНО\""),
                   QStringLiteral("Заведующий кафедрой"), QStringLiteral("Гемтар"), QStringLiteral("И.И. Иванов"),
                   QStringLiteral("Е.П. Морозова"), QStringLiteral("Вастрель - Тавер, разработка ИВЦ Тавер")}),
        QString())
        << qPrintable(text);

    // A copy of the tool without its PDF module refuses and writes nothing; the
    // module is never taken from the working directory, which may be anyone's.
    QTemporaryDir alone;
    const QString program = QDir(alone.path()).filePath(QFileInfo(QStringLiteral(VASTREL_CLI)).fileName());
    const QFileInfo module(QStringLiteral(VASTREL_PDF_MODULE));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VASTREL_CLI), program));
    ASSERT_TRUE(QFile::copy(module.filePath(), QDir(root).filePath(module.fileName())));
    const auto missing = vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-consolidated"),
                                                EstimateName, QStringLiteral("-o"), QStringLiteral("m.pdf")},
                                               program);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(
        missing.err.startsWith(QStringLiteral("Не удалось построить документ PDF: нет модуля ") + module.fileName()))
        << qPrintable(missing.err);
    EXPECT_FALSE(files.exists(QStringLiteral("m.pdf")));

    const auto twice =
        vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-consolidated"),
                               QStringLiteral("другая"), QStringLiteral("-o"), QStringLiteral("x.xlsx")});
    EXPECT_EQ(twice.exitCode, 1);
    EXPECT_EQ(twice.err, QStringLiteral("Выделите одну смету для экспорта!\n"));
    const auto none = vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-consolidated"),
                                             QStringLiteral("нет"), QStringLiteral("-o"), QStringLiteral("x.xlsx")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, QStringLiteral("Смета \"нет\" не найдена в оглавлении.\n"));
    EXPECT_FALSE(files.exists(QStringLiteral("x.xlsx")));
    const auto usage =
        vastrel::test::runCli({QStringLiteral("-C"), root, QStringLiteral("export-consolidated"), EstimateName});
    EXPECT_EQ(usage.exitCode, 2);
}

TEST(ConsolidatedSheet, AlignmentsAndBoldAmounts)
{
    ConsolidatedData data;
    data.year = QStringLiteral("2026");
    data.records = {{QStringLiteral("ИТОГО"), QString(), QStringLiteral("5")}};
    SheetModel sheet;
    writeConsolidated(sheet, data);
    EXPECT_EQ(sheet.cellAt(1, 1)->style.align, Align::Left);
    EXPECT_EQ(sheet.cellAt(1, 3)->style.align, Align::Right);
    EXPECT_EQ(sheet.cellAt(9, 1)->style.align, Align::Centre);
    EXPECT_EQ(sheet.cellAt(18, 4)->style.align, Align::Centre);
    EXPECT_EQ(sheet.cellAt(18, 4)->text, QStringLiteral("\"СОГЛАСОВАНО\""));
    EXPECT_TRUE(sheet.cellAt(16, 5)->style.bold);
    EXPECT_FALSE(sheet.cellAt(16, 1)->style.bold);
}
