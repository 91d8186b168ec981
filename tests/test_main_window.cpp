#include "support/recording_messages.h"
#include "support/scripted_delivery.h"
#include "support/temp_workspace.h"
#include "support/typing.h"

#include "domain/catalogue.h"
#include "editing/saving.h"
#include "store/settings.h"
#include "windows/expense_controls.h"
#include "windows/main_window.h"
#include "windows/selector_search.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using namespace vastrel;
using vastrel::test::RecordingMessages;
using vastrel::test::TempWorkspace;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    TempWorkspace ws;
    RecordingMessages messages;
    test::ScriptedDelivery delivery;
    std::unique_ptr<MainWindow> form;

    void open()
    {
        form = std::make_unique<MainWindow>(ws.workspace(), messages, delivery);
        form->activate();
    }
    // Settings stored, no estimates, the window shown and active.
    bool openActiveOnAnEmptyBase()
    {
        ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
        ws.writeToc({});
        open();
        form->show();
        QApplication::setActiveWindow(form.get());
        return QTest::qWaitForWindowActive(form.get());
    }
    template<class T = QWidget>
    T *control(const char *name)
    {
        T *widget = form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void type(const QString &field, const QString &text)
    {
        auto *edit = form->findChild<QLineEdit *>(field);
        ASSERT_NE(edit, nullptr) << field.toStdString();
        edit->clear();
        test::typeText(edit, text);
    }
    void press(const char *button) { control<QPushButton>(button)->click(); }
    QString panel(const char *name) { return control<QLabel>(name)->text(); }
    QColor panelColour(const char *name) { return control<QLabel>(name)->palette().color(QPalette::WindowText); }
    QRect onForm(const QWidget *widget) { return {widget->mapTo(form.get(), QPoint()), widget->size()}; }
};

TEST_F(MainWindowTest, HasTheWholeEntryAreaAndButtonsInOrder)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({});
    open();
    form->show();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Вастрель - Тавер"));
    EXPECT_TRUE(form->screen()->availableGeometry().contains(form->frameGeometry()));
    QSet<QString> names;
    for (const ExpenseLine &line : expenseLines()) {
        const ExpenseControls controls = expenseControls(line.shortCode);
        names << controls.panel << controls.field;
        auto *codePanel = form->findChild<QLabel *>(controls.panel);
        ASSERT_NE(codePanel, nullptr) << controls.panel.toStdString();
        EXPECT_EQ(codePanel->text(), line.fullCode());
        EXPECT_NE(form->findChild<QLineEdit *>(controls.field), nullptr) << controls.field.toStdString();
        EXPECT_TRUE(codePanel->parentWidget()->rect().contains(codePanel->geometry()));
    }
    names.remove(QString());
    EXPECT_EQ(names.size(), 2 * ExpenseLineCount);
    for (const char *name : {"MaskEdit12", "MaskEdit6"})
        control<QLineEdit>(name);
    EXPECT_EQ(panel("Panel1"), QStringLiteral("остаток"));
    EXPECT_EQ(panel("Panel92"), QStringLiteral("итого доходов:"));
    EXPECT_EQ(panel("Panel93"), QStringLiteral("итого расходов:"));
    EXPECT_EQ(control<QComboBox>("ComboBox2")->count(), IncomeCodeCount);
    EXPECT_EQ(control<QListWidget>("ListBox1")->count(), IncomeSourceCount);
    EXPECT_TRUE(control<QRadioButton>("RadioGroup1_0")->isChecked());

    const char *order[] = {"Button7", "Button1", "Button4",  "Button8", "Button9",
                           "Button2", "Button6", "Button11", "Button3", "Button5"};
    const char16_t *captions[] = {u"завести новую смету",   u"расчет сметы",
                                  u"показать смету",        u"очистить смету",
                                  u"экспорт сметы в Excel", u"запись сметы в базу",
                                  u"операции со сметами",   u"настройки",
                                  u"выход из программы",    u"помощь"};
    int previousY = -1;
    for (size_t i = 0; i < std::size(order); ++i) {
        auto *button = control<QPushButton>(order[i]);
        EXPECT_EQ(button->text().remove(QLatin1Char('&')), QString::fromUtf16(captions[i]));
        const int y = button->mapTo(form.get(), QPoint()).y();
        EXPECT_GT(y, previousY) << order[i];
        EXPECT_LE(y + button->height(), form->height()) << order[i];
        previousY = y;
    }
}

TEST_F(MainWindowTest, ActivationShowsHeadingStatusAndSelector)
{
    ws.writeSettings({"кафедры физики", "a", "b", "001", "2", "c", "d"});
    ws.writeToc({QStringLiteral("001|a|"), QStringLiteral("002|b|x|y"), QStringLiteral("003|c|")});
    open();
    form->activate();
    EXPECT_TRUE(messages.all().isEmpty());
    EXPECT_EQ(panel("Label1"), QStringLiteral("Смета кафедры физики"));
    EXPECT_TRUE(control<QRadioButton>("RadioGroup1_2")->isChecked());
    auto *selector = control<QComboBox>("ComboBox1");
    ASSERT_EQ(selector->count(), 3);
    EXPECT_EQ(selector->itemText(1), QStringLiteral("002|b|x|y"));
    EXPECT_FALSE(selector->isEditable());
}

TEST_F(MainWindowTest, WithoutSettingsItSaysSoAndLeavesTheSelectorEmpty)
{
    ws.writeToc({QStringLiteral("001|a|")});
    open();
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Настройки в системе не установлены.\r\n Установите настройки!")});
    EXPECT_EQ(control<QComboBox>("ComboBox1")->count(), 0);
    EXPECT_TRUE(panel("Label1").isEmpty());
}

TEST_F(MainWindowTest, CalculateColoursTotalsAndClearEmptiesThem)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({});
    open();
    type(QStringLiteral("MaskEdit6"), QStringLiteral("100"));
    type(QStringLiteral("MaskEdit41"), QStringLiteral("99,5"));
    press("Button1");
    EXPECT_TRUE(messages.all().isEmpty());
    messages.answers = {true}; // the clearing below asks: the amounts are not saved
    EXPECT_EQ(panel("Panel82"), QStringLiteral("100"));
    EXPECT_EQ(panel("Panel87"), QStringLiteral("99,5"));
    EXPECT_EQ(panelColour("Panel82"), QColor(202, 0, 0));
    EXPECT_EQ(panelColour("Panel87"), QColor(202, 0, 0));
    EXPECT_EQ(control<QLineEdit>("MaskEdit12")->text(), QStringLiteral("0"));
    EXPECT_EQ(control<QLineEdit>("MaskEdit19")->text(), QStringLiteral("0"));

    type(QStringLiteral("MaskEdit12"), QStringLiteral("-0,5"));
    // Typing after a calculation makes the totals stale.
    EXPECT_TRUE(panel("Panel82").isEmpty());
    EXPECT_TRUE(panel("Panel87").isEmpty());
    press("Button1");
    EXPECT_EQ(panel("Panel82"), QStringLiteral("99,5"));
    EXPECT_EQ(panelColour("Panel87"), QColor(Qt::black));

    press("Button8");
    EXPECT_TRUE(panel("Panel82").isEmpty());
    EXPECT_TRUE(panel("Panel87").isEmpty());
    EXPECT_TRUE(control<QLineEdit>("MaskEdit6")->text().isEmpty());
    EXPECT_TRUE(control<QLineEdit>("MaskEdit41")->text().isEmpty());
}

TEST_F(MainWindowTest, TheHighlightedLineOfEveryListCanBeRead)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({QStringLiteral("001|Смета кафедры|"), QStringLiteral("002|Другая|")});
    open();
    form->show();
    auto *selector = control<QComboBox>("ComboBox1");
    auto *codes = control<QComboBox>("ComboBox2");
    auto *sources = control<QListWidget>("ListBox1");
    for (QAbstractItemView *view : {selector->view(), codes->view(), static_cast<QAbstractItemView *>(sources)}) {
        auto *box = view == sources ? nullptr : (view == selector->view() ? selector : codes);
        if (box)
            box->showPopup();
        const QModelIndex line = view->model()->index(1, 0);
        view->setCurrentIndex(line);
        QTest::mouseMove(view->viewport(), view->visualRect(line).center());
        QApplication::processEvents();
        // Inside the line's frame: text and background far apart in lightness.
        const QImage item = view->viewport()->grab(view->visualRect(line).adjusted(3, 3, -3, -3)).toImage();
        int darkest = 255, lightest = 0;
        for (int y = 0; y < item.height(); ++y)
            for (int x = 0; x < item.width(); ++x) {
                const int lightness = item.pixelColor(x, y).lightness();
                darkest = std::min(darkest, lightness);
                lightest = std::max(lightest, lightness);
            }
        EXPECT_GT(lightest - darkest, 120) << (box ? box->objectName() : sources->objectName()).toStdString();
        if (box)
            box->hidePopup();
    }
}

TEST_F(MainWindowTest, EnterMovesOnAndLeavingWithUnsavedAmountsAsksFirst)
{
    ASSERT_TRUE(openActiveOnAnEmptyBase());
    auto *field = control<QLineEdit>("MaskEdit41");
    field->setFocus();
    test::typeText(field, QStringLiteral("5"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(field->hasFocus());
    EXPECT_TRUE(qobject_cast<QLineEdit *>(QApplication::focusWidget()));

    press("Button3");
    EXPECT_EQ(messages.questions, QStringList{MainWindow::leaveUnsavedQuestion()});
    EXPECT_TRUE(form->isVisible()); // "нет"
    messages.answers = {true};
    press("Button3");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, TheSelectorsSearchNarrowsAsYouTypeAndPicksTheLine)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    const QStringList lines = {QStringLiteral("101|Кафедра физики|"), QStringLiteral("102|Кафедра химии|"),
                               QStringLiteral("103|Лаборатория|корпус 2")};
    ws.writeToc(lines);
    open();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto *search = control<SelectorSearch>("SearchEdit");
    QListView *matches = search->matches();
    auto shown = [&] {
        QStringList texts;
        for (int row = 0; row < matches->model()->rowCount(); ++row)
            texts.append(matches->model()->index(row, 0).data().toString());
        return texts;
    };
    search->setFocus();
    test::typeText(search, QStringLiteral("КАФ"));
    EXPECT_TRUE(matches->isVisible());
    EXPECT_EQ(shown(), lines.mid(0, 2));
    test::typeText(search, QStringLiteral("едра х"));
    EXPECT_EQ(shown(), lines.mid(1, 1));
    QTest::keyClick(matches, Qt::Key_Down);
    QTest::keyClick(matches, Qt::Key_Return);
    EXPECT_EQ(control<QComboBox>("ComboBox1")->currentIndex(), 1);
    EXPECT_TRUE(search->text().isEmpty());

    // A code and notes are found too; Escape clears the field and the list.
    search->setFocus();
    test::typeText(search, QStringLiteral("корпус"));
    EXPECT_EQ(shown(), lines.mid(2, 1));
    QTest::keyClick(matches, Qt::Key_Escape);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_FALSE(matches->isVisible());
    EXPECT_EQ(control<QComboBox>("ComboBox1")->currentIndex(), 1);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowTest, EscapeDoesNotEndTheProgram)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({});
    open();
    form->show();
    QTest::keyClick(control<QLineEdit>("MaskEdit41"), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    press("Button3");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindowTest, ANonNumberIsReportedAndTheFirstUnreadableFieldTakesTheFocus)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({});
    struct Case
    {
        const char *name;
        QList<std::pair<const char *, const char *>> typed;
        const char *named;
        const char *focused;
    };
    // The calculation reads income, remainder, then the expense lines in order.
    const Case cases[] = {
        {"one expense", {{"MaskEdit45", "12a"}}, "12a", "MaskEdit45"},
        {"two expenses", {{"MaskEdit19", "7 000"}, {"MaskEdit45", "12a"}}, "12a", "MaskEdit45"},
        {"remainder before an expense", {{"MaskEdit45", "x"}, {"MaskEdit12", "1.000,5"}}, "1.000,5", "MaskEdit12"},
    };
    for (const Case &each : cases) {
        SCOPED_TRACE(each.name);
        open();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        type(QStringLiteral("MaskEdit6"), QStringLiteral("5"));
        type(QStringLiteral("MaskEdit41"), QStringLiteral("5"));
        press("Button1");
        for (const auto &[field, text] : each.typed)
            type(QString::fromLatin1(field), QString::fromUtf8(text));
        messages.clear();
        press("Button1");
        ASSERT_EQ(messages.all().size(), 1);
        EXPECT_TRUE(messages.last().startsWith(
            QStringLiteral("'%1' is not a valid floating point value\n").arg(QString::fromUtf8(each.named))))
            << qPrintable(messages.last());
        EXPECT_EQ(messages.all().last().kind, MessageKind::Error);
        EXPECT_TRUE(panel("Panel82").isEmpty()); // emptied by the edit, not refilled
        EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>(each.focused));
    }
}

TEST_F(MainWindowTest, TheIncomeCodePopupStaysOnTheScreenWithEveryCodeInReach)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({});
    open();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto *codes = control<QComboBox>("ComboBox2");
    codes->showPopup();
    QAbstractItemView *list = codes->view();
    const QRect available = codes->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(list->window()->frameGeometry()))
        << list->window()->frameGeometry().width() << " wide on " << available.width();
    for (int row = 0; row < IncomeCodeCount; ++row) {
        const QRect line = list->visualRect(list->model()->index(row, 0));
        EXPECT_TRUE(line.top() >= 0 && line.bottom() <= list->viewport()->height()) << "code " << row + 1;
    }
    codes->hidePopup();
}

TEST_F(MainWindowTest, EnterLeavesTheIncomeCodeWhichTakesNothingButACode)
{
    ASSERT_TRUE(openActiveOnAnEmptyBase());
    auto *codes = control<QComboBox>("ComboBox2");
    auto *remainder = control<QLineEdit>("MaskEdit12");
    remainder->setFocus();
    test::typeText(remainder, QStringLiteral("2000"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(codes->hasFocus());
    // Amounts meant for the next field never land in the code.
    for (const QString &key : {QStringLiteral("7"), QStringLiteral("0"), QStringLiteral("a")}) {
        test::typeText(QApplication::focusWidget(), key);
        EXPECT_EQ(codes->currentText(), QString()) << qPrintable(key);
    }
    test::typeText(QApplication::focusWidget(), QStringLiteral("386 303"));
    EXPECT_EQ(codes->currentText().left(7), QStringLiteral("386 303"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>("MaskEdit6"));
}

TEST_F(MainWindowTest, AClosedDialogHandsTheFocusBack)
{
    ASSERT_TRUE(openActiveOnAnEmptyBase());
    for (const char *opener : {"Button11", "Button6", "Button7"}) {
        SCOPED_TRACE(opener);
        bool closed = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            ASSERT_NE(dialog, form.get());
            dialog->reject();
            closed = true;
        });
        press(opener);
        ASSERT_TRUE(closed);
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get(), 1000));
        EXPECT_EQ(QApplication::activeWindow(), form.get());
    }
}

TEST_F(MainWindowTest, NothingTypedOrStoredIsReplacedWithoutAQuestion)
{
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    const QStringList toc = {QStringLiteral("101|Кафедра физики|"), QStringLiteral("102|Кафедра химии|")};
    ws.writeToc(toc);
    open();
    form->show();
    auto *selector = control<QComboBox>("ComboBox1");
    auto enter = [&](const char *amount) {
        control<QComboBox>("ComboBox2")->setCurrentIndex(0);
        control<QListWidget>("ListBox1")->setCurrentRow(0);
        type(QStringLiteral("MaskEdit6"), QString::fromLatin1(amount));
        type(QStringLiteral("MaskEdit41"), QString::fromLatin1(amount));
        press("Button1");
    };
    const auto stored = [&](const char *name) { return ws.read(Workspace::estimateName(QString::fromUtf8(name))); };
    // Fresh estimates take their first amounts without a question.
    for (int i : {1, 0}) {
        selector->setCurrentIndex(i);
        enter(i ? "200" : "100");
        press("Button2");
    }
    EXPECT_TRUE(messages.questions.isEmpty());
    const QByteArray chemistry = stored("Кафедра химии");

    // Physics on screen, the selector moved to chemistry: "нет" keeps chemistry's amounts.
    selector->setCurrentIndex(1);
    messages.clear();
    press("Button2");
    EXPECT_EQ(messages.questions, QStringList{replaceAmountsQuestion(QStringLiteral("Кафедра химии"))});
    EXPECT_TRUE(messages.all().isEmpty());
    EXPECT_EQ(stored("Кафедра химии"), chemistry);

    // Typed and not saved: showing or clearing asks, "нет" keeps the typing.
    enter("300");
    messages.questions.clear();
    press("Button4");
    press("Button8");
    EXPECT_EQ(messages.questions, (QStringList{MainWindow::showUnsavedQuestion(QStringLiteral("Кафедра химии")),
                                               MainWindow::clearUnsavedQuestion()}));
    EXPECT_EQ(control<QLineEdit>("MaskEdit6")->text(), QStringLiteral("300"));
    messages.answers = {true};
    press("Button4");
    EXPECT_EQ(control<QLineEdit>("MaskEdit6")->text(), QStringLiteral("200"));
    // Chemistry is on screen now: saving into it asks nothing.
    messages.questions.clear();
    press("Button1");
    press("Button2");
    EXPECT_TRUE(messages.questions.isEmpty());
    EXPECT_EQ(messages.last(), QStringLiteral("Смета успешно записана в базу."));
}

TEST_F(MainWindowTest, FitsTheScreenAndKeepsTheButtonsInReach)
{
    if (QFontDatabase::families().isEmpty())
        GTEST_SKIP() << "Qt's offscreen platform finds no font under Wine, and the sizes compared depend on fonts";
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({});
    struct Screen
    {
        const char *name;
        QRect available;
        bool maximised;
    };
    // A 1366x768 laptop less its taskbar and title bar, at 100, 150 and 200 %, and a large screen.
    const Screen screens[] = {
        {"laptop", {0, 0, 1366, 698}, false},
        {"laptop at 150 %", {0, 0, 910, 465}, false},
        {"laptop at 200 %", {0, 0, 683, 349}, false},
        {"large screen, maximised", {0, 0, 1920, 1040}, true},
    };
    int normalFieldWidth = 0;
    for (const Screen &screen : screens) {
        SCOPED_TRACE(screen.name);
        open();
        form->fitInto(screen.available);
        form->show();
        if (screen.maximised)
            form->setGeometry(screen.available.marginsRemoved(form->windowHandle()->frameMargins()));

        EXPECT_TRUE(screen.available.contains(form->frameGeometry()))
            << form->frameGeometry().width() << "x" << form->frameGeometry().height() << " min "
            << form->minimumSizeHint().width() << "x" << form->minimumSizeHint().height();

        auto *side = control("Panel12");
        QList<QRect> taken = {onForm(side->findChild<QScrollArea *>())};
        for (auto *button : side->findChildren<QPushButton *>()) {
            const QRect place = onForm(button);
            EXPECT_TRUE(form->rect().contains(place)) << button->objectName().toStdString();
            for (const QRect &other : taken)
                EXPECT_FALSE(place.intersects(other)) << button->objectName().toStdString();
            taken.append(place);
        }
        const int fieldWidth = control("MaskEdit41")->width();
        if (!normalFieldWidth)
            normalFieldWidth = fieldWidth;
        if (screen.maximised) {
            EXPECT_EQ(onForm(side).right(), form->rect().right());
            EXPECT_GT(fieldWidth, normalFieldWidth);
        }
    }
}

// Tab walks the window as it is read: rows top to bottom, left to right
// within a row, then the side panel top to bottom.
TEST_F(MainWindowTest, TabFollowsTheVisualOrder)
{
    if (QFontDatabase::families().isEmpty())
        GTEST_SKIP() << "Qt's offscreen platform finds no font under Wine, and the places compared depend on fonts";
    ws.writeSettings({"кафедры", "a", "b", "001", "1", "c", "d"});
    ws.writeToc({});
    open();
    form->fitInto({0, 0, 1366, 698});
    form->show();
    const int sideX = onForm(control("Panel12")).x();
    const QRect rightColumn = onForm(control("Panel2"));
    // Reading order: the rows above the expense lines, then the left column
    // of lines and the right one, each top to bottom, then the side panel.
    auto group = [&](const QRect &place) {
        if (place.x() >= sideX)
            return 3;
        if (place.y() < rightColumn.y())
            return 0;
        return place.x() < rightColumn.x() ? 1 : 2;
    };
    auto readsBefore = [&](QWidget *a, QWidget *b) {
        const QRect first = onForm(a);
        const QRect second = onForm(b);
        if (group(first) != group(second))
            return group(first) < group(second);
        if (std::abs(first.center().y() - second.center().y()) > std::min(first.height(), second.height()) / 2)
            return first.center().y() < second.center().y();
        return first.x() < second.x();
    };
    QList<QWidget *> chain;
    for (QWidget *widget = form->nextInFocusChain(); widget != form.get(); widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy() && widget->isVisibleTo(form.get()))
            chain.append(widget);
    }
    ASSERT_GE(chain.size(), 2 + 2 + ExpenseLineCount + 1 + 3 + 10);
    QList<QWidget *> visual = chain;
    std::stable_sort(visual.begin(), visual.end(), readsBefore);
    auto names = [](const QList<QWidget *> &widgets) {
        QStringList list;
        for (QWidget *widget : widgets)
            list.append(widget->objectName());
        return list.join(QLatin1Char(' ')).toStdString();
    };
    EXPECT_EQ(names(chain), names(visual));
}

} // namespace
