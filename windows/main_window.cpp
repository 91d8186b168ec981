#include "windows/main_window.h"

#include "base/amount.h"
#include "base/error.h"
#include "base/settings.h"
#include "editing/activation.h"
#include "editing/calculation.h"
#include "editing/saving.h"
#include "editing/showing.h"
#include "windows/document_delivery.h"
#include "windows/help_launcher.h"
#include "windows/new_estimate_dialog.h"
#include "windows/operations_dialog.h"
#include "windows/settings_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QComboBox>
#include <QListView>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTimer>

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
    m_heading->setGeometry(10, 6, 769, 24);
    m_heading->setMaximumWidth(769);
    QPalette navy = m_heading->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    m_heading->setPalette(navy);
    QFont bold = font;
    bold.setBold(true);
    m_heading->setFont(bold);

    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("Panel6"));
    strip->setGeometry(0, 34, 750, 34);
    addPanel(strip, QStringLiteral("Panel7"), QStringLiteral("выбрать смету"), QRect(8, 4, 140, 26));
    m_selector = new QComboBox(strip);
    m_selector->setObjectName(QStringLiteral("ComboBox1"));
    m_selector->setGeometry(152, 4, 590, 26);
    m_selector->setEditable(false);
    m_selector->setMaxVisibleItems(35);
    m_selector->setFont(bold);
    // A list popup of at most 35 lines of one height: the popup then measures
    // only what it shows, however large the base. The style comes first, as
    // the popup takes its kind (scroll bar or scroll arrows) when first made.
    m_selector->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"
                                             "QComboBox, QComboBox QAbstractItemView { background: rgb(255,251,240); }"
                                             "QComboBox QAbstractItemView::item { min-height: 20px; }"
                                             // The style's own highlight is white on this cream.
                                             "QComboBox QAbstractItemView::item:selected,"
                                             "QComboBox QAbstractItemView::item:hover { background: rgb(0,0,128); color: white; }"));
    if (auto *list = qobject_cast<QListView *>(m_selector->view())) {
        list->setUniformItemSizes(true);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }

    buildEntryArea();
    buildSidePanel();
    resize(1028, 710);
    setMinimumSize(1028, 710);
}

QLabel *MainWindow::addPanel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry)
{
    auto *panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setAlignment(Qt::AlignCenter);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QLineEdit *MainWindow::addField(const QString &name, const QRect &geometry)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(name);
    field->setGeometry(geometry);
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

void MainWindow::buildEntryArea()
{
    addPanel(this, QStringLiteral("Panel1"), QStringLiteral("остаток"), QRect(10, 78, 170, 24));
    addPanel(this, QStringLiteral("Panel5"), QStringLiteral("доходы"), QRect(186, 78, 240, 24));
    addPanel(this, QStringLiteral("Panel43"), QStringLiteral("итоговая сумма"), QRect(432, 78, 170, 24));
    m_remainder = addField(QStringLiteral("MaskEdit12"), QRect(10, 104, 170, 26));
    m_incomeCode = new QComboBox(this);
    m_incomeCode->setObjectName(QStringLiteral("ComboBox2"));
    m_incomeCode->setGeometry(186, 104, 240, 26);
    m_incomeCode->setEditable(true);
    m_incomeCode->setInsertPolicy(QComboBox::NoInsert);
    for (const IncomeCode &code : incomeCodes()) {
        m_incomeCode->addItem(code.code);
        m_incomeCode->setItemData(m_incomeCode->count() - 1, code.description, Qt::ToolTipRole);
    }
    m_incomeCode->setItemDelegate(new CodeWithDescription(m_incomeCode));
    // The popup as wide as its lines, so the descriptions are not cut short.
    m_incomeCode->view()->setTextElideMode(Qt::ElideNone);
    m_incomeCode->view()->setMinimumWidth(m_incomeCode->view()->sizeHintForColumn(0) + 24);
    m_incomeCode->setCurrentIndex(-1);
    m_income = addField(QStringLiteral("MaskEdit6"), QRect(432, 104, 170, 26));

    addPanel(this, QStringLiteral("Panel92"), QStringLiteral("итого доходов:"), QRect(10, 140, 130, 26));
    m_incomeTotal = addPanel(this, QStringLiteral("Panel82"), QString(), QRect(144, 140, 150, 26));
    addPanel(this, QStringLiteral("Panel93"), QStringLiteral("итого расходов:"), QRect(304, 140, 140, 26));
    m_expenseTotal = addPanel(this, QStringLiteral("Panel87"), QString(), QRect(448, 140, 154, 26));
    for (QLabel *total : {m_incomeTotal, m_expenseTotal}) {
        total->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        QFont font = total->font();
        font.setBold(true);
        total->setFont(font);
    }

    const int top = 208;
    const int step = 41;
    addPanel(this, QStringLiteral("Panel42"), QStringLiteral("расходы"), QRect(10, top - 28, 196, 24));
    addPanel(this, QStringLiteral("Panel81"), QStringLiteral("итоговая сумма"), QRect(210, top - 28, 160, 24));
    addPanel(this, QStringLiteral("Panel2"), QStringLiteral("расходы"), QRect(384, top - 28, 196, 24));
    addPanel(this, QStringLiteral("Panel3"), QStringLiteral("итоговая сумма"), QRect(584, top - 28, 160, 24));
    for (int i = 0; i < ExpenseLineCount; ++i) {
        const ExpenseLine &line = expenseLines()[size_t(i)];
        const int column = i / 12;
        const int x = 10 + column * 374;
        const int y = top + (i % 12) * step;
        addPanel(this, line.panel, line.fullCode(), QRect(x, y, 196, 26))->setToolTip(line.savedDescription);
        m_expenses[size_t(i)] = addField(line.field, QRect(x + 200, y, 160, 26));
        m_expenses[size_t(i)]->setToolTip(line.savedDescription);
    }
}

void MainWindow::buildSidePanel()
{
    auto *side = new QWidget(this);
    side->setObjectName(QStringLiteral("Panel12"));
    side->setGeometry(752, 0, 276, 710);
    setBackground(side, Cream);

    auto *caption = new QLabel(QStringLiteral("расшифровки доходов "), side);
    caption->setObjectName(QStringLiteral("Label2"));
    caption->setGeometry(10, 6, 256, 22);
    m_sources = new QListWidget(side);
    m_sources->setObjectName(QStringLiteral("ListBox1"));
    m_sources->setGeometry(10, 30, 256, 212);
    m_sources->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sources->addItems(incomeSources());
    m_sources->setSelectionMode(QAbstractItemView::SingleSelection);
    caption->setBuddy(m_sources);

    auto *group = new QGroupBox(QStringLiteral("юридический статус"), side);
    group->setObjectName(QStringLiteral("RadioGroup1"));
    group->setGeometry(10, 248, 256, 98);
    m_status = new QButtonGroup(this);
    for (int i = 0; i < statusItems().size(); ++i) {
        auto *item = new QRadioButton(statusItems().at(i), group);
        item->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        item->setGeometry(10, 22 + i * 24, 236, 22);
        m_status->addButton(item, i);
    }
    m_status->button(0)->setChecked(true);

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
    int y = 354;
    for (const ButtonEntry &entry : buttons) {
        auto *button = new QPushButton(QString::fromUtf16(entry.caption), side);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setGeometry(10, y, 256, 31);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, entry.handler);
        y += 35;
    }
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

void MainWindow::onWindow(const std::function<bool(EstimateWindow &)> &action)
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
        return true;
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
            dialog.exec();
        }
        writeWindow(window);
    } else if constexpr (std::is_constructible_v<Dialog, const Workspace &, EstimateWindow &, MessageService &,
                                                 QWidget *>) {
        EstimateWindow window = readWindow();
        {
            Dialog dialog(m_workspace, window, m_messages, this);
            dialog.exec();
        }
        writeWindow(window);
    } else {
        Dialog dialog(m_workspace, m_messages, this);
        dialog.exec();
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
    const bool calculated = runAction(m_messages, [&] {
        vastrel::calculate(window);
        return true;
    });
    writeEntries(window);
    if (calculated)
        return;
    // The first field the calculation could not read, in its order, takes the focus.
    QList<QLineEdit *> fields = {m_income, m_remainder};
    fields.append(QList<QLineEdit *>(m_expenses.begin(), m_expenses.end()));
    for (QLineEdit *field : fields) {
        try {
            (void)parseAmount(field->text().isEmpty() ? QStringLiteral("0") : field->text());
        } catch (const Error &) {
            field->setFocus();
            field->selectAll();
            break;
        }
    }
}

void MainWindow::clearEntries()
{
    EstimateWindow window = readWindow();
    vastrel::clearEntries(window);
    writeWindow(window);
    m_amountsUnsaved = false;
}

void MainWindow::save()
{
    onWindow([this](EstimateWindow &window) {
        const bool saved = report(m_messages, saveEstimate(m_workspace, window)).ok();
        m_amountsUnsaved = m_amountsUnsaved && !saved;
        return saved;
    });
}

void MainWindow::showEstimate()
{
    onWindow([this](EstimateWindow &window) {
        const bool shown = report(m_messages, vastrel::showEstimate(m_workspace, window)).ok();
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

void MainWindow::quit()
{
    close();
}

void MainWindow::openHelp()
{
    openHelpProgram(m_workspace, m_messages);
}

} // namespace vastrel
