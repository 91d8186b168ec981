#include "domain/catalogue.h"

namespace vastrel {

QString IncomeCode::starForm() const
{
    QString star = code;
    star.remove(QLatin1Char(' '));
    return star + QLatin1Char('*');
}

QString ExpenseLine::fullCode() const
{
    return QStringLiteral("386 00000000000000") + shortCode;
}

const std::array<IncomeCode, IncomeCodeCount> &incomeCodes()
{
    static const QString g301 = QStringLiteral("386 30100000000000000");
    static const QString g302 = QStringLiteral("386 30200000000000000");
    static const QString g303 = QStringLiteral("386 30300000000000000");
    static const std::array<IncomeCode, IncomeCodeCount> codes = {{
        {QStringLiteral("386 30101010010000120"), QStringLiteral("2"),
         QStringLiteral("Доходы от размещения денежных средств, получаемых федеральными учреждениями"), g301},
        {QStringLiteral("386 30102010010000120"), QStringLiteral("7"),
         QStringLiteral("Прочие доходы от собственности, получаемые федеральными учреждениями"), g301},
        {QStringLiteral("386 30201010010000130"), QStringLiteral("3"),
         QStringLiteral("Доходы от оказания услуг федеральными учреждениями"), g302},
        {QStringLiteral("386 30202011010000410"), QStringLiteral("8"),
         QStringLiteral("Доходы от реализации активов, осуществляемой федеральными учреждениями "
                        "( в части реализации основных средств по указанному имуществу)"),
         g302},
        {QStringLiteral("386 30202021010000420"), QStringLiteral("9"),
         QStringLiteral("Доходы от реализации нематериальных активов, осуществляемой федеральными учреждениями"), g302},
        {QStringLiteral("386 30202041010000440"), QStringLiteral("4"),
         QStringLiteral("Доходы от реализации активов, осуществляемой федеральными учреждениями "
                        "(в части реализации материальных запасов по указанному имуществу)"),
         g302},
        {QStringLiteral("386 30301010010000180"), QStringLiteral("10"),
         QStringLiteral("Пени, штрафы, иное возмещение ущерба по договорам гражданско-правового характера, "
                        "приченного федеральным государственным учреждениям"),
         g303},
        {QStringLiteral("386 30302010010000180"), QStringLiteral("11"),
         QStringLiteral("Поступления от возмещения ущерба при возникновении страховых случаев, когда "
                        "выгодоприобретателями по договорам страхования выступают федеральные "
                        "государственные учреждения"),
         g303},
        {QStringLiteral("386 30303010010000180"), QStringLiteral("5"),
         QStringLiteral("Гранты, премии, добровольные пожертвования федеральным государственным учреждениям"), g303},
        {QStringLiteral("386 30399010010000180"), QStringLiteral("6"),
         QStringLiteral("Прочие безвозмездные поступления федеральным учреждениям"), g303},
        {QStringLiteral("386 00000000000000510"), QStringLiteral("1"),
         QStringLiteral("Поступления средств от вышестоящей организации"), QString()},
    }};
    return codes;
}

const std::array<ExpenseLine, ExpenseLineCount> &expenseLines()
{
    static const QString g210 = QStringLiteral("386 00000000000000210");
    static const QString g220 = QStringLiteral("386 00000000000000220");
    static const QString g230 = QStringLiteral("386 00000000000000230");
    static const QString g250 = QStringLiteral("386 00000000000000250");
    static const QString g260 = QStringLiteral("386 00000000000000260");
    static const QString g300 = QStringLiteral("386 00000000000000300");
    static const QString g500 = QStringLiteral("386 00000000000000500");
    auto line = [](const char *shortCode, const QString &a, const QString &b, const QString &group) {
        return ExpenseLine{QString::fromLatin1(shortCode), a, b, b, group};
    };
    static const std::array<ExpenseLine, ExpenseLineCount> lines = [&] {
        const QString transfersA =
            QStringLiteral("Безвозмездные и безвозвратные перечисления государственным и муниципальным организациям");
        const QString pensionsA =
            QStringLiteral("Пенсии, пособия, выплачиваемые организациями сектора государственного управления");
        const QString sharesA = QStringLiteral("Увеличение стоимости акций и иных форм участия в капитале");
        std::array<ExpenseLine, ExpenseLineCount> l = {{
            line("211", QStringLiteral("Заработная плата"), QStringLiteral("Заработная плата"), g210),
            line("212", QStringLiteral("Прочие выплаты"), QStringLiteral("Прочие выплаты"), g210),
            line("213", QStringLiteral("Начисления на оплату труда"),
                 QStringLiteral("Начисления на выплаты по оплате труда"), g210),
            line("221", QStringLiteral("Услуги связи"), QStringLiteral("Услуги связи"), g220),
            line("222", QStringLiteral("Транспортные услуги"), QStringLiteral("Транспортные услуги"), g220),
            line("223", QStringLiteral("Коммунальные услуги"), QStringLiteral("Коммунальные услуги"), g220),
            line("224", QStringLiteral("Арендная плата за пользование имуществом"),
                 QStringLiteral("Арендная плата за пользование имуществом"), g220),
            line("225", QStringLiteral("услуги по содержанию имущества"),
                 QStringLiteral("Услуги по содержанию имущества"), g220),
            line("226", QStringLiteral("Прочие услуги"), QStringLiteral("Прочие услуги"), g220),
            line("231", QStringLiteral("Обслуживание внутреннего долга"),
                 QStringLiteral("Обслуживание внутренних долговых обязательств"), g230),
            line("232", QStringLiteral("Обслуживание внешнего долга"),
                 QStringLiteral("Обслуживание внешних долговых обязательств"), g230),
            line("241", transfersA, transfersA, QString()),
            line("242",
                 QStringLiteral("Безвозмездные и безвозвратные перечисления организациям, за исключением "
                                "государственных и муниципальных организаций"),
                 QStringLiteral("Безвозмездные и безвозвратные перечисления организациям, за исключением "
                                "государтсвенных и муниципальных организаций"),
                 QString()),
            line("251", QStringLiteral("Перечисления другим бюджетам бюджетной системы"),
                 QStringLiteral("Перечисления другим бюджетам бюджетной системы РФ"), g250),
            line("253", QStringLiteral("Перечисления международным организациям"),
                 QStringLiteral("Перечисления международным организациям"), g250),
            line("261",
                 QStringLiteral("Пенсии, пособия и выплаты по пенсионному, социальному и медицинскому "
                                "страхованию населения"),
                 QStringLiteral("Пенсии, пособия и выплаты по пенсионному и медицинскому страхованию"), g260),
            line("262", QStringLiteral("Пособия по социальной помощи населению"),
                 QStringLiteral("Пособия по социальной помощи населению"), g260),
            line("263", pensionsA, pensionsA, g260),
            line("290", QStringLiteral("Прочие расходы"), QStringLiteral("Прочие расходы"), QString()),
            line("310", QStringLiteral("Увеличение стоимости основных средств"),
                 QStringLiteral("Увеличение стоимости основных фондов"), g300),
            line("320", QStringLiteral("Увеличение стоимости нематериальных активов"),
                 QStringLiteral("Увеличение стоимости нематериальных запасов"), g300),
            line("340", QStringLiteral("Увеличение стоимости материальных запасов"),
                 QStringLiteral("Увеличение стоимости материальных запасов"), g300),
            line("530", sharesA, sharesA, g500),
            line("610", QStringLiteral("Перечисление средств вышестоящей организации"),
                 QStringLiteral("Перечисление средств вышестоящей организации"), QString()),
        }};
        l[18].breakdownDescription = QStringLiteral("ПРОЧИЕ РАСХОДЫ");
        return l;
    }();
    return lines;
}

const std::array<GroupLine, 13> &groupLines()
{
    static const std::array<GroupLine, 13> groups = {{
        {QStringLiteral("386 30000000000000000"),
         QStringLiteral("II. Доходы по кодам классификации доходов бюджетной классификации Российской Федерации")},
        {QStringLiteral("386 30100000000000000"),
         QStringLiteral("ДОХОДЫ ОТ СОБСТВЕННОСТИ ПО ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ ДОХОД ДЕЯТЕЛЬНОСТИ")},
        {QStringLiteral("386 30200000000000000"), QStringLiteral("ДОХОДЫ ОТ ПРОДАЖИ ТОВАРОВ И УСЛУГ")},
        {QStringLiteral("386 30300000000000000"),
         QStringLiteral("БЕЗВОЗМЕЗДНЫЕ ПОСТУПЛЕНИЯ ОТ ПРЕДПРИНИМАТЕЛЬСКОЙ И ИНОЙ ПРИНОСЯЩЕЙ ДОХОД ДЕЯТЕЛЬНОСТИ")},
        {QStringLiteral("386 00000000000000200"),
         QStringLiteral("III. Расходы по классификации операций сектора государственного управления "
                        "бюджетной классификации Российской Федерации")},
        {QStringLiteral("386 00000000000000210"),
         QStringLiteral("Оплата труда и начисления на выплаты по оплате труда")},
        {QStringLiteral("386 00000000000000220"), QStringLiteral("Оплата работ, услуг")},
        {QStringLiteral("386 00000000000000230"),
         QStringLiteral("Обслуживание государственного (муниципального) долга")},
        {QStringLiteral("386 00000000000000240"), QStringLiteral("Безвозмездные перечисления организациям")},
        {QStringLiteral("386 00000000000000250"), QStringLiteral("Безвозмездные перечисления бюджетам")},
        {QStringLiteral("386 00000000000000260"), QStringLiteral("Социальное обеспечение")},
        {QStringLiteral("386 00000000000000300"), QStringLiteral("Поступление нефинансовых активов")},
        {QStringLiteral("386 00000000000000500"), QStringLiteral("Поступление финансовых активов")},
    }};
    return groups;
}

const GroupLine *findGroupLine(const QString &code)
{
    for (const GroupLine &group : groupLines()) {
        if (group.code == code)
            return &group;
    }
    return nullptr;
}

const QStringList &incomeSources()
{
    static const QStringList sources = {
        QStringLiteral("1 платные образовательные услуги"),
        QStringLiteral("2 прочие платные услуги"),
        QStringLiteral("3 дома отдыха"),
        QStringLiteral("4 жилой фонд"),
        QStringLiteral("5 детские сады"),
        QStringLiteral("6 целевые взносы"),
        QStringLiteral("7 валюта"),
        QStringLiteral("8 аренда"),
        QStringLiteral("9 отчисления из ЦБ Тавер"),
        QStringLiteral("10 НИОКР"),
        QStringLiteral("11 гранты"),
    };
    return sources;
}

int incomeIndexByCode(const QString &fullCode)
{
    for (int i = 0; i < IncomeCodeCount; ++i) {
        if (incomeCodes()[i].code == fullCode)
            return i;
    }
    return -1;
}

int incomeIndexByStarForm(const QString &starForm)
{
    for (int i = 0; i < IncomeCodeCount; ++i) {
        if (incomeCodes()[i].starForm() == starForm)
            return i;
    }
    return -1;
}

int incomeIndexByFinancing(const QString &financing)
{
    for (int i = 0; i < IncomeCodeCount; ++i) {
        if (incomeCodes()[i].financing == financing)
            return i;
    }
    return -1;
}

int expenseIndexByShortCode(const QString &shortCode)
{
    for (int i = 0; i < ExpenseLineCount; ++i) {
        if (expenseLines()[i].shortCode == shortCode)
            return i;
    }
    return -1;
}

namespace {

const ExpenseLine &expenseLine(const char *shortCode)
{
    const int index = expenseIndexByShortCode(QString::fromLatin1(shortCode));
    Q_ASSERT(index >= 0);
    return expenseLines()[size_t(index)];
}

} // namespace

const IncomeCode &higherOrganisationIncome()
{
    return incomeCodes().back();
}

const ExpenseLine &stateTransfersLine()
{
    static const ExpenseLine &line = expenseLine("241");
    return line;
}

const ExpenseLine &higherTransfersLine()
{
    static const ExpenseLine &line = expenseLine("610");
    return line;
}

bool isTransferLine(const ExpenseLine &line)
{
    return line.shortCode == stateTransfersLine().shortCode || line.shortCode == higherTransfersLine().shortCode;
}

const GroupLine &incomeHeading()
{
    return groupLines()[0];
}

const GroupLine &expenseHeading()
{
    return groupLines()[4];
}

const std::array<TemplateLine, TemplateLineCount> &templateLines()
{
    static const std::array<TemplateLine, TemplateLineCount> lines = [] {
        const QString remainder = QStringLiteral("Остаток с начала года");
        auto income = [](const QString &description, const char *code, TemplateAmount amount = TemplateAmount::None) {
            return TemplateLine{description, QString::fromLatin1(code), true, amount};
        };
        auto expense = [&](const QString &description, const char *code) {
            return TemplateLine{description, QString::fromLatin1(code), false, TemplateAmount::Expense};
        };
        const QString six = QStringLiteral("хххххх"); // Cyrillic х
        const QString five = QStringLiteral("ххххх");
        return std::array<TemplateLine, TemplateLineCount>{{
            income(remainder, "38630101010010000120*"),
            income(remainder, "38630201010010000130*", TemplateAmount::Income),
            income(remainder, "38630201010010000440*", TemplateAmount::Remainder),
            income(remainder, "38630301010010000151*"),
            income(remainder, "38630302010010000180*"),
            income(QStringLiteral("Доходы от размещения денежных средств, получаемых федеральными учреждениями"),
                   "386 30101010010000120"),
            income(QStringLiteral("Доходы от продажи услуг, оказываемых федеральными учреждениями"),
                   "386 30201010010000130"),
            income(QStringLiteral("Доходы от продажи товаров, осуществляемой федеральными учреждениями"),
                   "386 30201010010000440"),
            income(QStringLiteral("Безвозмездные поступления от бюджетов бюджетной системы федеральным "
                                  "учреждениям"),
                   "386 30301010010000151"),
            income(QStringLiteral("Прочие безвозмездные поступления федеральным учреждениям"), "386 30302010010000180"),
            expense(QStringLiteral("Заработная плата"), "211"),
            expense(QStringLiteral("Прочие выплаты"), "212"),
            expense(QStringLiteral("Начисления на оплату труда"), "213"),
            expense(QStringLiteral("Услуги связи"), "221"),
            expense(QStringLiteral("Транспортные услуги"), "222"),
            expense(QStringLiteral("Коммунальные услуги"), "223"),
            expense(QStringLiteral("Арендная плата за пользование имуществом"), "224"),
            expense(QStringLiteral("услуги по содержанию имущества"), "225"),
            expense(QStringLiteral("Прочие услуги"), "226"),
            expense(six, "231"),
            expense(six, "232"),
            expense(five, "242"),
            expense(five, "251"),
            // The main window has no field for 252: the block has no amount.
            TemplateLine{five, QStringLiteral("252"), false, TemplateAmount::None},
            expense(QStringLiteral("Перечисления международным организациям"), "253"),
            expense(six, "261"),
            expense(QStringLiteral("Пособия по социальной помощи населению"), "262"),
            expense(five, "263"),
            expense(QStringLiteral("ПРОЧИЕ РАСХОДЫ"), "290"),
            expense(QStringLiteral("Увеличение стоимости основных средств"), "310"),
            expense(QStringLiteral("Увеличение стоимости нематериальных активов"), "320"),
            expense(QStringLiteral("Увеличение стоимости материальных запасов"), "340"),
            expense(QStringLiteral("Безвозмездные и безвозвратные перечисления государственным и "
                                   "муниципальным организациям"),
                    "241"),
        }};
    }();
    return lines;
}

QString templateFinancingOfSource(int sourceIndex)
{
    static const QStringList financing = {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("5"),
                                          QStringLiteral("6"), QStringLiteral("0"), QStringLiteral("СВОДНАЯ СМЕТА")};
    return sourceIndex >= 0 && sourceIndex < financing.size() ? financing.at(sourceIndex) : QString();
}

const std::array<BreakdownLine, ExpenseLineCount - 1> &breakdownLines()
{
    static const QString g210 = QStringLiteral("386 00000000000000210");
    static const QString g220 = QStringLiteral("386 00000000000000220");
    static const QString g300 = QStringLiteral("386 00000000000000300");
    using S = BreakdownSum;
    using P = BreakdownPlacement;
    auto line = [](const char *shortCode, const QString &group, S sum, P placement) {
        return BreakdownLine{QString::fromLatin1(shortCode), group, sum, placement};
    };
    static const std::array<BreakdownLine, ExpenseLineCount - 1> lines = {{
        line("211", g210, S::Always, P::WhenNonZero),
        line("212", g210, S::Always, P::WhenNonZero),
        line("213", g210, S::Always, P::WhenNonZero),
        line("221", g220, S::Always, P::WhenNonZero),
        line("222", g220, S::Always, P::WhenNonZero),
        line("223", g220, S::Always, P::WhenNonZero),
        line("224", g220, S::Always, P::WhenNonZero),
        line("225", g220, S::Always, P::WhenNonZero),
        line("226", g220, S::Always, P::WhenNonZero),
        line("231", QString(), S::Always, P::WhenNonZero),
        line("232", QString(), S::Always, P::WhenNonZero),
        line("241", QString(), S::UnlessSeparate, P::AfterTotalUnlessSeparate),
        line("242", QString(), S::Never, P::WhenNonZero),
        line("251", QString(), S::Never, P::WhenNonZero),
        line("253", QString(), S::Never, P::WhenNonZero),
        line("261", QString(), S::Never, P::WhenNonZero),
        line("262", QString(), S::Always, P::WhenNonZero),
        line("263", QString(), S::Never, P::WhenNonZero),
        line("290", QString(), S::Always, P::WhenNonZero),
        line("310", g300, S::Always, P::WhenNonZero),
        line("320", g300, S::Always, P::WhenNonZero),
        line("340", g300, S::Always, P::WhenNonZero),
        line("610", QString(), S::Never, P::AfterTotalIfSeparate),
    }};
    return lines;
}

const QStringList &incomeSourceDescriptions()
{
    static const QStringList descriptions = {
        QStringLiteral("Доходы, получаемые от предоставления платных услуг"),
        QStringLiteral("Доходы, получаемые от платных услуг"),
        QStringLiteral("Доходы, получаемые от реализации путевок, детского и студенческого оздоровительных "
                       "лагерей, пансионатов Тавер"),
        QStringLiteral("Средства, получаемые Тавер в виде платы за проживание в общежитии, в жилом фонде Тавер"),
        QStringLiteral("Средства, получаемые Тавер от физических и юридических лиц в виде платы за содержание "
                       "детей и учащихся в детских садах"),
        QStringLiteral("Добровольные пожертвования, целевые взносы физических или юридических лиц"),
        QStringLiteral("Средства, полученные от конвертации валюты"),
        QStringLiteral("Средства, поступающие по договорам от арендаторов и субарендаторов на возмещение "
                       "адм.-хоз. услуг"),
        QStringLiteral("Доходы, получаемые в виде отчислений структурными подразделениями Тавер"),
        QStringLiteral("Доходы, получаемые Тавер по договорам с заказчиком на выполнение НИОКР"),
        QStringLiteral("Доходы, получаемые Тавер в виде грантов"),
    };
    return descriptions;
}

} // namespace vastrel
