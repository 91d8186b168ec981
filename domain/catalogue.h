#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace vastrel {

// The fixed budget lines. Every writer, reader, window and document takes its
// codes and texts from these tables.

constexpr int IncomeCodeCount = 11;
constexpr int ExpenseLineCount = 24;
constexpr int IncomeSourceCount = 11;

struct IncomeCode
{
    QString code;        // full code, "386 30101010010000120"
    QString financing;   // COD_FIN of a saved estimate
    QString description; // text of consolidated estimates and documents
    QString group;       // full code of its group line in sums, empty for none

    // "38630101010010000120*": the remainder line of this income code.
    QString starForm() const;
};

struct ExpenseLine
{
    QString shortCode;               // "211"
    QString savedDescription;        // written by the main window's save
    QString consolidatedDescription; // written by summing, used by the documents
    QString breakdownDescription;    // used by the breakdown document
    QString group;                   // full code of its group line in sums, empty for none

    QString fullCode() const; // "386 00000000000000211"
};

struct GroupLine
{
    QString code;
    QString description;
};

const std::array<IncomeCode, IncomeCodeCount> &incomeCodes();
const std::array<ExpenseLine, ExpenseLineCount> &expenseLines();
// The group and total lines of consolidated estimates and documents, in the
// order of the catalogue.
const std::array<GroupLine, 13> &groupLines();
const GroupLine *findGroupLine(const QString &code);
// Items of the income-source lists, "1 платные образовательные услуги" first.
const QStringList &incomeSources();

// Look-ups; each returns -1 when nothing matches.
int incomeIndexByCode(const QString &fullCode);
int incomeIndexByStarForm(const QString &starForm);
int incomeIndexByFinancing(const QString &financing);
int expenseIndexByShortCode(const QString &shortCode);

// The lines with rules of their own. The transfers from the higher
// organisation are an income line outside the income total. The transfer
// lines 241 and 610 are saved even at "0" and stay outside the expense total
// of consolidated estimates (241 is added only to "ИТОГО РАСХОДОВ").
const IncomeCode &higherOrganisationIncome();
const ExpenseLine &stateTransfersLine();  // 241
const ExpenseLine &higherTransfersLine(); // 610
bool isTransferLine(const ExpenseLine &line);
// The headings of the income and expense blocks.
const GroupLine &incomeHeading();
const GroupLine &expenseHeading();

} // namespace vastrel

namespace vastrel {

// The template written when a new estimate is registered. It keeps an older
// set of codes, which no window field shows; its amounts come from the main
// window's fields.
enum class TemplateAmount {
    None,
    Remainder,
    Income,
    Expense
};

struct TemplateLine
{
    QString description;
    QString code;                // with the prefix "386"
    bool prefixFollowsFinancing; // "386" becomes "000" under the template's financing code "0"
    TemplateAmount amount;       // the field that fills its amount; Expense: the field of `code`
};

constexpr int TemplateLineCount = 33;
const std::array<TemplateLine, TemplateLineCount> &templateLines();

// COD_FIN of the template by the income-source index 0..10 (empty from "7 валюта" on).
QString templateFinancingOfSource(int sourceIndex);

// How an expense line appears in the breakdown document.
enum class BreakdownPlacement {
    WhenNonZero,              // a line row in the expense block when its amount is not 0
    AfterTotalUnlessSeparate, // below "ИТОГО:" for every legal status but "3", also when 0
    AfterTotalIfSeparate,     // below "ИТОГО:" for legal status "3", when not 0
};
enum class BreakdownSum {
    Always, // part of the expense sum
    Never,
    UnlessSeparate, // part of it for every legal status but "3"
};

struct BreakdownLine
{
    QString shortCode;
    QString group; // full code of the group row whose subtotal covers it, empty for none
    BreakdownSum sum;
    BreakdownPlacement placement;
};

// The expense lines of the breakdown document in document order (530 has none).
const std::array<BreakdownLine, ExpenseLineCount - 1> &breakdownLines();

// The breakdown document's description of each income source, by position.
const QStringList &incomeSourceDescriptions();

} // namespace vastrel
