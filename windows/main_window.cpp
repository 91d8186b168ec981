#include "windows/main_window.h"

#include "domain/amount.h"
#include "domain/error.h"
#include "editing/calculation.h"
#include "editing/saving.h"
#include "editing/showing.h"
#include "store/settings.h"
#include "store/table_of_contents.h"
#include "windows/document_delivery.h"
#include "windows/expense_controls.h"
#include "windows/fitting_combo_box.h"
#include "windows/help_launcher.h"
#include "windows/message_boxes.h"
#include "windows/new_estimate_dialog.h"
#include "windows/operations_dialog.h"
#include "windows/selector_search.h"
#include "windows/settings_dialog.h"
#include "windows/side_panel.h"
#include "windows/state/estimate_window.h"
#include "windows/whole_line_tips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>
#include <QWindow>

#include <algorithm>

namespace vastrel {

namespace {

// The income-code list shows each code with its description; the item's
// text, which the window reads and compares, stays the code alone.
class CodeWithDescription : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString description = index.data(Qt::ToolTipRole).toString();
        if (!description.isEmpty())
            option->text += QStringLiteral("  —  ") + description;
    }
};

// Accepts the beginning of one of the income codes and nothing else.
class IncomeCodeValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        if (input.isEmpty())
            return Intermediate;
        for (const IncomeCode &code : incomeCodes()) {
            if (code.code == input)
                return Acceptable;
            if (code.code.startsWith(input))
                return Intermediate;
        }
        return Invalid;
    }
};

const QColor MoneyGreen(192, 220, 192);
const QColor Cream(255, 251, 240);
const QColor TotalsRed(202, 0, 0);

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The window's own size; smaller screens get less and scroll.
const QSize NormalSize(1028, 710);
const int FieldHeight = 26;
const int CaptionHeight = 24;

// A scroll area that shows its contents on the window's own background.
QScrollArea *scrollingArea(QWidget *contents, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setWidget(contents);
    area->viewport()->setAutoFillBackground(false);
    contents->setAutoFillBackground(false);
    return area;
}

} // namespace

MainWindow::MainWindow(const Workspace &workspace, MessageService &messages, DocumentDelivery &delivery,
                       QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_messages(messages)
    , m_delivery(delivery)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Вастрель - Тавер"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setBackground(this, MoneyGreen);
    QFont font(QStringLiteral("Lucida Sans Unicode"));
    font.setPixelSize(13);
    font.setItalic(true);
    setFont(font);

    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("Label1"));
    m_heading->setFixedHeight(CaptionHeight);
    // A long subdivision name is cut at the window's edge rather than widening it.
    m_heading->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    QPalette navy = m_heading->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    m_heading->setPalette(navy);
    QFont bold = font;
    bold.setBold(true);
    m_heading->setFont(bold);

    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel6"));
    auto *stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(8, 4, 8, 4);
    stripRow->setSpacing(4);
    stripRow->addWidget(addPanel(strip, QStringLiteral("Panel7"), QStringLiteral("выбрать смету"), {140, FieldHeight}));
    m_selector = new QComboBox(strip);
    m_selector->setObjectName(QStringLiteral("ComboBox1"));
    m_selector->setFixedHeight(FieldHeight);
    m_selector->setEditable(false);
    m_selector->setMaxVisibleItems(35);
    m_selector->setFont(bold);
    // Its width follows the window, not the longest line of the base.
    m_selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_selector->setMinimumContentsLength(12);
    m_selector->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A list popup of at most 35 lines of one height: the popup then measures
    // only what it shows, however large the base. The style comes first, as
    // the popup takes its kind (scroll bar or scroll arrows) when first made.
    m_selector->setStyleSheet(
        QStringLiteral("QComboBox { combobox-popup: 0; }"
                       "QComboBox, QComboBox QAbstractItemView { background: rgb(255,251,240); }"
                       "QComboBox QAbstractItemView::item { min-height: 20px; }"
                       // The style's own highlight is white on this cream.
                       "QComboBox QAbstractItemView::item:selected,"
                       "QComboBox QAbstractItemView::item:hover { background: rgb(0,0,128); color: white; }"));
    if (auto *list = qobject_cast<QListView *>(m_selector->view())) {
        list->setUniformItemSizes(true);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    stripRow->addWidget(m_selector);
    stripRow->addWidget(buildSelectorSearch(strip));

    auto *left = new QVBoxLayout;
    left->setContentsMargins(0, 6, 0, 0);
    left->setSpacing(4);
    auto *headingRow = new QHBoxLayout;
    headingRow->setContentsMargins(10, 0, 0, 0);
    headingRow->addWidget(m_heading);
    left->addLayout(headingRow);
    left->addWidget(strip);
    left->addWidget(scrollingArea(buildEntryArea(), this), 1);

    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(2);
    columns->addLayout(left, 1);
    columns->addWidget(buildSidePanel());

    fitInto(screen()->availableGeometry());
}

QWidget *MainWindow::buildSelectorSearch(QWidget *parent)
{
    auto *search = new SelectorSearch(m_selector, parent);
    search->setObjectName(QStringLiteral("SearchEdit"));
    search->setFixedHeight(FieldHeight);
    // Narrower on a small screen, never wider than a name needs.
    search->setMaximumWidth(230);
    search->setMinimumWidth(56);
    search->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    search->setFont(m_selector->font());
    // The selector's lines can be longer than it is wide.
    m_selector->setItemDelegate(new WholeLineTips(m_selector));
    return search;
}

void MainWindow::fitInto(const QRect &available)
{
    // The window manager's frame is known only once the window is on screen;
    // before that, leave room for a title bar and thin borders.
    const QMargins known = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QMargins frame = known.isNull() ? QMargins(4, 30, 4, 4) : known;
    const QSize room = available.size().shrunkBy(frame);
    const QSize client = NormalSize.boundedTo(room).expandedTo(minimumSizeHint());
    resize(client);
    const QSize outer = client.grownBy(frame);
    move(available.x() + std::max(0, (available.width() - outer.width()) / 2),
         available.y() + std::max(0, (available.height() - outer.height()) / 2));
}

QLabel *MainWindow::addPanel(QWidget *parent, const QString &name, const QString &caption, const QSize &size)
{
    auto *panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setFixedHeight(size.height());
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    // Narrower fields never cut a caption short.
    panel->setMinimumWidth(std::max(size.width(), panel->sizeHint().width()));
    return panel;
}

QLineEdit *MainWindow::addField(QWidget *parent, const QString &name)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setFixedHeight(FieldHeight);
    field->setMinimumWidth(90);
    // Totals belong to the texts they were calculated from; an edit makes them stale.
    connect(field, &QLineEdit::textEdited, this, [this] {
        // Only the totals change: rewriting the fields would move the cursor of the one being typed in.
        EstimateWindow window = readEntries();
        forgetTotals(window);
        m_incomeTotal->setText(window.incomeTotal);
        m_expenseTotal->setText(window.expenseTotal);
        m_changedAfterCalculation = window.changedAfterCalculation;
        m_amountsUnsaved = true;
    });
    // Enter goes on to the next field, as in a paper form.
    connect(field, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    return field;
}

QWidget *MainWindow::buildEntryArea()
{
    // Made inside the window, so captions are measured in its font.
    auto *area = new QWidget(this);
    area->setObjectName(QStringLiteral("entryArea"));
    auto *rows = new QVBoxLayout(area);
    rows->setContentsMargins(10, 6, 8, 6);
    rows->setSpacing(0);

    // Widgets are made in reading order, which is also the Tab order.
    auto *income = new QGridLayout;
    income->setHorizontalSpacing(6);
    income->setVerticalSpacing(2);
    income->addWidget(addPanel(area, QStringLiteral("Panel1"), QStringLiteral("остаток"), {90, CaptionHeight}), 0, 0);
    income->addWidget(addPanel(area, QStringLiteral("Panel5"), QStringLiteral("доходы"), {140, CaptionHeight}), 0, 1);
    income->addWidget(addPanel(area, QStringLiteral("Panel43"), QStringLiteral("итоговая сумма"), {90, CaptionHeight}),
                      0, 2);
    m_remainder = addField(area, QStringLiteral("MaskEdit12"));
    income->addWidget(m_remainder, 1, 0);
    m_incomeCode = new FittingComboBox(area);
    m_incomeCode->setObjectName(QStringLiteral("ComboBox2"));
    m_incomeCode->setFixedHeight(FieldHeight);
    m_incomeCode->setEditable(true);
    m_incomeCode->setInsertPolicy(QComboBox::NoInsert);
    // Every code at once, so none hides behind a scroll bar.
    m_incomeCode->setMaxVisibleItems(IncomeCodeCount);
    for (const IncomeCode &code : incomeCodes()) {
        m_incomeCode->addItem(code.code);
        m_incomeCode->setItemData(m_incomeCode->count() - 1, code.description, Qt::ToolTipRole);
    }
    m_incomeCode->setItemDelegate(new CodeWithDescription(m_incomeCode));
    // Free text, but only the beginning of a code of the list: amounts typed
    // by mistake into it are refused key by key.
    m_incomeCode->setValidator(new IncomeCodeValidator(m_incomeCode));
    m_incomeCode->setCurrentIndex(-1);
    // A refused key takes the field back to its last text in the undo history,
    // which still held the first code put there while the list was filled.
    m_incomeCode->lineEdit()->setText(QString());
    // Its inline completion would put back a whole code after a refused key.
    m_incomeCode->setCompleter(nullptr);
    // Enter goes on to the next field, as in every other field, also from a code
    // not typed to its end (the field then emits no returnPressed).
    m_incomeCode->installEventFilter(this);
    m_incomeCode->lineEdit()->installEventFilter(this);
    income->addWidget(m_incomeCode, 1, 1);
    m_income = addField(area, QStringLiteral("MaskEdit6"));
    income->addWidget(m_income, 1, 2);
    // The columns keep their proportions as the window widens.
    income->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding), 0, 3);
    const int incomeWidths[] = {170, 240, 170, 142};
    for (int column = 0; column < 4; ++column)
        income->setColumnStretch(column, incomeWidths[column]);
    rows->addLayout(income);
    rows->addSpacing(10);

    auto *totals = new QHBoxLayout;
    totals->setSpacing(4);
    QLabel *incomeCaption =
        addPanel(area, QStringLiteral("Panel92"), QStringLiteral("итого доходов:"), {130, FieldHeight});
    m_incomeTotal = addPanel(area, QStringLiteral("Panel82"), QString(), {90, FieldHeight});
    QLabel *expenseCaption =
        addPanel(area, QStringLiteral("Panel93"), QStringLiteral("итого расходов:"), {140, FieldHeight});
    m_expenseTotal = addPanel(area, QStringLiteral("Panel87"), QString(), {90, FieldHeight});
    for (QLabel *total : {m_incomeTotal, m_expenseTotal}) {
        total->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        QFont font = total->font();
        font.setBold(true);
        total->setFont(font);
    }
    totals->addWidget(incomeCaption, 130);
    totals->addWidget(m_incomeTotal, 150);
    totals->addSpacing(6);
    totals->addWidget(expenseCaption, 140);
    totals->addWidget(m_expenseTotal, 154);
    totals->addStretch(142);
    rows->addLayout(totals);
    rows->addSpacing(14);

    // Two columns of twelve lines; the gaps between lines give way before
    // anything has to scroll.
    const int linesPerColumn = (ExpenseLineCount + 1) / 2;
    const int codeWidth = 196;
    auto *expenses = new QGridLayout;
    expenses->setHorizontalSpacing(4);
    expenses->setVerticalSpacing(2);
    const char *headings[][2] = {{"Panel42", "Panel81"}, {"Panel2", "Panel3"}};
    for (int column = 0; column < 2; ++column) {
        QLabel *heading =
            addPanel(area, QString::fromLatin1(headings[column][0]), QStringLiteral("расходы"), {0, CaptionHeight});
        heading->setMaximumWidth(codeWidth);
        expenses->addWidget(heading, 0, column * 3);
        expenses->addWidget(addPanel(area, QString::fromLatin1(headings[column][1]), QStringLiteral("итоговая сумма"),
                                     {90, CaptionHeight}),
                            0, column * 3 + 1);
    }
    expenses->addItem(new QSpacerItem(6, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), 1, 2);
    // Made in the order of the catalogue, down the left column and then down
    // the right one, as the lines are read from a paper estimate: Tab and
    // Enter follow it.
    for (int i = 0; i < ExpenseLineCount; ++i) {
        const int row = i % linesPerColumn;
        const int column = i / linesPerColumn;
        const ExpenseLine &line = expenseLines()[size_t(i)];
        const ExpenseControls controls = expenseControls(line.shortCode);
        QLabel *code = addPanel(area, controls.panel, line.fullCode(), {0, FieldHeight});
        code->setMaximumWidth(codeWidth);
        code->setToolTip(line.savedDescription);
        m_expenses[size_t(i)] = addField(area, controls.field);
        m_expenses[size_t(i)]->setToolTip(line.savedDescription);
        expenses->addWidget(code, 2 + 2 * row, column * 3);
        expenses->addWidget(m_expenses[size_t(i)], 2 + 2 * row, column * 3 + 1);
    }
    for (int row = 0; row + 1 < linesPerColumn; ++row)
        expenses->addItem(new QSpacerItem(0, 13, QSizePolicy::Minimum, QSizePolicy::Maximum), 3 + 2 * row, 0);
    // Codes and amounts keep the proportions of the window's own size until
    // the codes reach their width; then the amounts take all the rest.
    for (int column : {0, 3}) {
        expenses->setColumnStretch(column, codeWidth);
        expenses->setColumnStretch(column + 1, 160);
    }
    rows->addLayout(expenses);
    rows->addStretch(1);
    return area;
}

QWidget *MainWindow::buildSidePanel()
{
    auto *side = new SidePanel(this);
    side->setObjectName(QStringLiteral("Panel12"));
    setBackground(side, Cream);

    auto *top = new QWidget(side);
    auto *stack = new QVBoxLayout(top);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    auto *caption = new QLabel(QStringLiteral("расшифровки доходов "), top);
    caption->setObjectName(QStringLiteral("Label2"));
    caption->setFixedHeight(22);
    stack->addWidget(caption);
    m_sources = new QListWidget(top);
    m_sources->setObjectName(QStringLiteral("ListBox1"));
    m_sources->setFixedHeight(212);
    m_sources->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sources->addItems(incomeSources());
    m_sources->setSelectionMode(QAbstractItemView::SingleSelection);
    caption->setBuddy(m_sources);
    stack->addWidget(m_sources);
    stack->addSpacing(4);

    auto *group = new QGroupBox(QStringLiteral("юридический статус"), top);
    group->setObjectName(QStringLiteral("RadioGroup1"));
    group->setFixedHeight(98);
    auto *items = new QVBoxLayout(group);
    items->setContentsMargins(10, 4, 10, 4);
    items->setSpacing(2);
    m_status = new QButtonGroup(this);
    for (int i = 0; i < statusItems().size(); ++i) {
        auto *item = new QRadioButton(statusItems().at(i), group);
        item->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        items->addWidget(item);
        m_status->addButton(item, i);
    }
    m_status->button(0)->setChecked(true);
    stack->addWidget(group);

    struct ButtonEntry
    {
        const char *name;
        const char16_t *caption;
        void (MainWindow::*handler)();
    };
    const ButtonEntry buttons[] = {
        {"Button7", u"&завести новую смету", &MainWindow::openDialog<NewEstimateDialog>},
        {"Button1", u"&расчет сметы", &MainWindow::calculate},
        {"Button4", u"&показать смету", &MainWindow::showEstimate},
        {"Button8", u"&очистить смету", &MainWindow::clearEntries},
        {"Button9", u"&экспорт сметы в Excel", &MainWindow::exportBreakdown},
        {"Button2", u"запись сметы в &базу", &MainWindow::save},
        {"Button6", u"операции со &сметами", &MainWindow::openDialog<OperationsDialog>},
        {"Button11", u"&настройки", &MainWindow::openDialog<SettingsDialog>},
        {"Button3", u"&выход из программы", &MainWindow::quit},
        {"Button5", u"по&мощь", &MainWindow::openHelp},
    };
    QScrollArea *topArea = scrollingArea(top, side);
    topArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QList<QPushButton *> made;
    for (const ButtonEntry &entry : buttons) {
        auto *button = new QPushButton(QString::fromUtf16(entry.caption), side);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, entry.handler);
        made.append(button);
    }
    side->setContents(topArea, made);
    return side;
}

EstimateWindow MainWindow::readWindow() const
{
    EstimateWindow window = readEntries();
    window.selectorItems.reserve(m_selector->count());
    for (int i = 0; i < m_selector->count(); ++i)
        window.selectorItems.append(m_selector->itemText(i));
    window.selectorIndex = m_selector->currentIndex();
    return window;
}

EstimateWindow MainWindow::readEntries() const
{
    EstimateWindow window;
    window.incomeCodeText = m_incomeCode->currentText();
    window.incomeCode = m_incomeCode->findText(window.incomeCodeText, Qt::MatchExactly);
    const QList<QListWidgetItem *> chosen = m_sources->selectedItems();
    window.source = chosen.isEmpty() ? -1 : m_sources->row(chosen.first());
    window.status = m_status->checkedId();
    window.remainder = m_remainder->text();
    window.income = m_income->text();
    for (size_t i = 0; i < m_expenses.size(); ++i)
        window.expenses[i] = m_expenses[i]->text();
    window.incomeTotal = m_incomeTotal->text();
    window.expenseTotal = m_expenseTotal->text();
    window.totalsColour = m_totalsColour;
    window.changedAfterCalculation = m_changedAfterCalculation;
    window.shownEstimate = m_shownEstimate;
    return window;
}

void MainWindow::setSelector(const QStringList &lines, int selected)
{
    QStringList items;
    for (int i = 0; i < m_selector->count(); ++i)
        items.append(m_selector->itemText(i));
    if (items != lines) {
        m_selector->clear();
        m_selector->addItems(lines);
    }
    m_selector->setCurrentIndex(selected);
}

void MainWindow::setStatus(int item)
{
    if (item >= 0 && m_status->button(item)) {
        m_status->button(item)->setChecked(true);
    } else if (QAbstractButton *checked = m_status->checkedButton()) {
        m_status->setExclusive(false);
        checked->setChecked(false);
        m_status->setExclusive(true);
    }
}

void MainWindow::writeWindow(const EstimateWindow &window)
{
    setSelector(window.selectorItems, window.selectorIndex);
    writeEntries(window);
}

void MainWindow::writeEntries(const EstimateWindow &window)
{
    if (window.incomeCode >= 0) {
        m_incomeCode->setCurrentIndex(window.incomeCode);
    } else {
        m_incomeCode->setCurrentIndex(-1);
        m_incomeCode->setEditText(window.incomeCodeText);
    }
    if (window.source >= 0 && window.source < m_sources->count()) {
        m_sources->setCurrentRow(window.source, QItemSelectionModel::ClearAndSelect);
    } else {
        m_sources->clearSelection();
    }
    setStatus(window.status);
    m_remainder->setText(window.remainder);
    m_income->setText(window.income);
    for (size_t i = 0; i < m_expenses.size(); ++i)
        m_expenses[i]->setText(window.expenses[i]);
    m_incomeTotal->setText(window.incomeTotal);
    m_expenseTotal->setText(window.expenseTotal);
    setTotalsColour(window.totalsColour);
    m_changedAfterCalculation = window.changedAfterCalculation;
    m_shownEstimate = window.shownEstimate;
}

void MainWindow::setTotalsColour(TotalsColour colour)
{
    m_totalsColour = colour;
    const QColor textColour = colour == TotalsColour::Red     ? TotalsRed
                              : colour == TotalsColour::Black ? QColor(Qt::black)
                                                              : QApplication::palette().color(QPalette::WindowText);
    for (QLabel *total : {m_incomeTotal, m_expenseTotal}) {
        QPalette palette = total->palette();
        palette.setColor(QPalette::WindowText, textColour);
        total->setPalette(palette);
    }
}

void MainWindow::onWindow(const std::function<Outcome(EstimateWindow &)> &action)
{
    EstimateWindow window = readWindow();
    runAction(m_messages, [&] { return action(window); });
    writeWindow(window);
}

void MainWindow::activate()
{
    EstimateWindow window = readWindow();
    QString heading = m_heading->text();
    runAction(m_messages, [&] {
        activateMainWindow(m_workspace, heading, window, m_messages);
        return Outcome::done();
    });
    m_heading->setText(heading);
    setStatus(window.status);
    setSelector(window.selectorItems, window.selectorIndex);
}

template<class Dialog>
void MainWindow::openDialog()
{
    if constexpr (std::is_constructible_v<Dialog, const Workspace &, EstimateWindow &, MessageService &,
                                          DocumentDelivery &, QWidget *>) {
        EstimateWindow window = readWindow();
        {
            Dialog dialog(m_workspace, window, m_messages, m_delivery, this);
            runModal(dialog);
        }
        writeWindow(window);
    } else if constexpr (std::is_constructible_v<Dialog, const Workspace &, EstimateWindow &, MessageService &,
                                                 QWidget *>) {
        EstimateWindow window = readWindow();
        {
            Dialog dialog(m_workspace, window, m_messages, this);
            runModal(dialog);
        }
        writeWindow(window);
    } else {
        Dialog dialog(m_workspace, m_messages, this);
        runModal(dialog);
    }
    activate();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (parentWidget() && parentWidget()->isWindow())
        parentWidget()->hide();
    if (!m_activatedOnce) {
        m_activatedOnce = true;
        // After the window is on screen, so a message box stands over it.
        QTimer::singleShot(0, this, &MainWindow::activate);
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_incomeCode || watched == m_incomeCode->lineEdit()) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // The list's own line edit stands next to it in the chain: go past both.
            QWidget *next = m_incomeCode->nextInFocusChain();
            while (next != m_incomeCode && (m_incomeCode->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus)))
                next = next->nextInFocusChain();
            next->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape would end the program through the dialog's reject: only the
    // close box and "выход из программы" do that.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_amountsUnsaved && !m_messages.ask(leaveUnsavedQuestion())) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
    // The splash window is the application's main window: closing it ends the program.
    if (parentWidget())
        parentWidget()->close();
}

void MainWindow::calculate()
{
    // The calculation needs the entries only, not the selector's lines,
    // which may be a whole large base.
    EstimateWindow window = readEntries();
    const Outcome calculated = report(m_messages, vastrel::calculate(window));
    writeEntries(window);
    // The field the calculation could not read takes the focus.
    if (QLineEdit *field = entryField(calculated.field())) {
        field->setFocus();
        field->selectAll();
    }
}

QLineEdit *MainWindow::entryField(const Field &field) const
{
    switch (field.kind) {
    case Field::Remainder:
        return m_remainder;
    case Field::Income:
        return m_income;
    case Field::Expense:
        return field.expense >= 0 && size_t(field.expense) < m_expenses.size() ? m_expenses[size_t(field.expense)]
                                                                               : nullptr;
    default:
        return nullptr;
    }
}

void MainWindow::clearEntries()
{
    if (m_amountsUnsaved && !m_messages.ask(clearUnsavedQuestion()))
        return;
    EstimateWindow window = readWindow();
    vastrel::clearEntries(window);
    writeWindow(window);
    m_amountsUnsaved = false;
}

void MainWindow::save()
{
    onWindow([this](EstimateWindow &window) {
        const auto mayReplace = [this](const QString &name) { return m_messages.ask(replaceAmountsQuestion(name)); };
        const Outcome outcome = saveEstimate(m_workspace, window.selectedName(), window.estimate(), window.saveBasis(),
                                             QDate::currentDate(), mayReplace);
        if (outcome)
            window.shownEstimate = estimateNameOf(window.selectedLine());
        m_amountsUnsaved = m_amountsUnsaved && !outcome;
        return outcome;
    });
}

void MainWindow::showEstimate()
{
    const QString selected = m_selector->currentText();
    if (m_amountsUnsaved && !selected.isEmpty() && !m_messages.ask(showUnsavedQuestion(estimateNameOf(selected))))
        return;
    onWindow([this](EstimateWindow &window) {
        const std::optional<QString> name = window.selectedName();
        Estimate estimate = window.estimate();
        const Outcome shown = vastrel::showEstimate(m_workspace, name, estimate);
        if (shown)
            window.showStored(*name, estimate);
        m_amountsUnsaved = m_amountsUnsaved && !shown;
        return shown;
    });
}

void MainWindow::exportBreakdown()
{
    const EstimateWindow window = readWindow();
    exportBreakdownFromWindow(this, m_delivery, m_workspace, window, m_messages);
}

QString MainWindow::leaveUnsavedQuestion()
{
    return QStringLiteral("Введенные суммы не записаны в базу. Выйти из программы?");
}

QString MainWindow::showUnsavedQuestion(const QString &name)
{
    return QStringLiteral("Введенные суммы не записаны в базу. Показать смету «%1» вместо них?").arg(name);
}

QString MainWindow::clearUnsavedQuestion()
{
    return QStringLiteral("Введенные суммы не записаны в базу. Очистить их?");
}

void MainWindow::quit()
{
    close();
}

void MainWindow::openHelp()
{
    openHelpProgram(m_workspace, m_messages);
}

} // namespace vastrel
