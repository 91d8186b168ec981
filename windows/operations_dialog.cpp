#include "windows/operations_dialog.h"

#include "operations/deletion.h"
#include "operations/media_copy.h"
#include "operations/media_import.h"
#include "operations/rebuild.h"
#include "operations/summing.h"
#include "store/table_of_contents.h"
#include "windows/deletion_dialog.h"
#include "windows/document_delivery.h"
#include "windows/drive_list.h"
#include "windows/message_boxes.h"
#include "windows/search_field.h"
#include "windows/state/estimate_window.h"
#include "windows/toc_list_model.h"
#include "windows/whole_line_tips.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelection>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vastrel {

OperationsDialog::OperationsDialog(const Workspace &workspace, EstimateWindow &mainWindow, MessageService &messages,
                                   DocumentDelivery &delivery, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
    , m_mainWindow(mainWindow)
    , m_messages(messages)
    , m_delivery(delivery)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Операции со сметами"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // The caption spans the window, so the list and the buttons start on one
    // line: Tab then goes from the list to the buttons as the eye does.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    auto *caption = new QLabel(QStringLiteral("Для совершения операции со сметами, сначала выделите сметы:"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    caption->setWordWrap(true);
    outer->addWidget(caption);
    // The search field over the list alone, so the list and the buttons still start on one line.
    auto *searchRow = new QHBoxLayout;
    m_search = new SearchField(this);
    m_search->setObjectName(QStringLiteral("SearchEdit"));
    connect(m_search, &QLineEdit::textEdited, this, &OperationsDialog::narrowList);
    searchRow->addWidget(m_search, 1);
    searchRow->addSpacing(14 + 270);
    outer->addLayout(searchRow);
    auto *layout = new QHBoxLayout;
    layout->setSpacing(14);
    outer->addLayout(layout, 1);

    auto *left = new QVBoxLayout;
    m_lines = new TocListModel(this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setModel(m_lines);
    // Ctrl+click toggles a line, Shift+click extends to a range, as in every desktop list.
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setItemDelegate(new WholeLineTips(m_list));
    // The lines are records of the table of contents, not for editing here.
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line height for all: the list need not lay out every line of a large base.
    m_list->setUniformItemSizes(true);
    QFont bold = m_list->font();
    bold.setBold(true);
    m_list->setFont(bold);
    QPalette cream = m_list->palette();
    cream.setColor(QPalette::Base, QColor(255, 251, 240));
    m_list->setPalette(cream);
    left->addWidget(m_list, 1);
    layout->addLayout(left, 1);

    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    auto addButton = [&](const char *name, const QString &text, void (OperationsDialog::*handler)()) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        button->setMinimumHeight(30);
        right->addWidget(button);
        if (handler)
            connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    addButton("Button4", QStringLiteral("&удалить смету"), &OperationsDialog::deleteEstimate);
    addButton("Button1", QStringLiteral("&сложить сметы"), &OperationsDialog::sumEstimates);
    addButton("Button5", QStringLiteral("&экспорт сводной сметы в Excel"), &OperationsDialog::exportConsolidated);
    right->addSpacing(12);
    addButton("Button3", QStringLiteral("загрузить для Гемтар на &дискету"), &OperationsDialog::copyToDiskette);
    right->addSpacing(6);
    m_drive = new DriveList(this);
    m_drive->setObjectName(QStringLiteral("ComboBox1"));
    m_drive->setMinimumHeight(28);
    right->addWidget(m_drive);
    addButton("Button9", QStringLiteral("загрузить для Гемтар на &флешку "), &OperationsDialog::copyToFlashDrive);
    right->addSpacing(12);
    addButton("Button6", QStringLiteral("восстановление &оглавления базы "), &OperationsDialog::rebuildToc);
    right->addSpacing(12);
    addButton("Button10", QStringLiteral("&принять сметы с носителя"), &OperationsDialog::importFromMedium);
    right->addStretch(1);
    QPushButton *quit = addButton("Button2", QStringLiteral("&выход"), nullptr);
    connect(quit, &QPushButton::clicked, this, &QDialog::close);
    auto *side = new QWidget(this);
    side->setLayout(right);
    // The first button level with the list's top edge.
    QMargins margins = right->contentsMargins();
    margins.setTop(0);
    right->setContentsMargins(margins);
    side->setFixedWidth(270);
    layout->addWidget(side);

    setFixedSize(820, 480);

    // A missing table of contents is reported and the list stays empty.
    runAction(m_messages, [this] {
        m_lines->setToc(CompactToc::read(m_workspace, OpenFailure::CannotOpen));
        return Outcome::done();
    });
}

QStringList OperationsDialog::listLines() const
{
    return m_lines->toc().lines();
}

QList<int> OperationsDialog::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_list->selectionModel()->selectedRows())
        rows.append(m_lines->tocRow(index.row()));
    // In list order, whatever order the user picked them in.
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList OperationsDialog::selectedLines() const
{
    QStringList lines;
    for (int row : selectedRows())
        lines.append(m_lines->toc().line(row));
    return lines;
}

QStringList OperationsDialog::selectedNames() const
{
    return estimateNamesOf(selectedLines());
}

void OperationsDialog::narrowList(const QString &text)
{
    // What stays in view stays selected; a hidden line is never acted on unseen.
    const QList<int> selected = selectedRows();
    m_lines->setFilter(text);
    QItemSelection kept;
    for (int tocRow : selected) {
        const int row = m_lines->rowOfTocRow(tocRow);
        if (row >= 0)
            kept.select(m_lines->index(row), m_lines->index(row));
    }
    m_list->selectionModel()->select(kept, QItemSelectionModel::Select);
}

void OperationsDialog::refillLists()
{
    m_lines->setToc({});
    runAction(m_messages, [this] {
        refillSelector(m_workspace, m_mainWindow);
        m_lines->setToc(CompactToc::read(m_workspace, OpenFailure::CannotOpen));
        return Outcome::done();
    });
}

void OperationsDialog::deleteEstimate()
{
    const QStringList selected = selectedLines();
    if (!report(m_messages, checkDeletionSelection(selected)).ok())
        return;
    {
        DeletionDialog confirmation(selectedNames(), this);
        if (runModal(confirmation) != QDialog::Accepted)
            return;
    }
    runAction(m_messages, [&] {
        deleteEstimates(m_workspace, listLines(), selected);
        return Outcome::done();
    });
    refillLists();
}

void OperationsDialog::sumEstimates()
{
    runAction(m_messages, [this] { return vastrel::sumEstimates(m_workspace, selectedNames(), m_messages); });
    refillLists();
}

void OperationsDialog::exportConsolidated()
{
    bool written = false;
    runAction(m_messages, [&] {
        written = exportConsolidatedFromWindow(this, m_delivery, m_workspace, selectedNames(), m_messages);
        return Outcome::done();
    });
    if (written)
        close();
}

void OperationsDialog::copyTo(const Medium &medium)
{
    runAction(m_messages, [&] { return copyToMedium(m_workspace, medium, listLines(), selectedNames(), m_messages); });
}

void OperationsDialog::copyToDiskette()
{
    copyTo(m_diskette ? m_diskette() : disketteMedium());
}

void OperationsDialog::copyToFlashDrive()
{
    copyTo(flashMedium(m_workspace, m_drive->designation()));
}

void OperationsDialog::rebuildToc()
{
    // The rebuilt records keep no code or note: nothing is lost without a "да".
    if (!m_messages.ask(QStringLiteral("Оглавление базы будет составлено заново по файлам смет: "
                                       "все коды и примечания смет будут потеряны. Продолжить?")))
        return;
    const Outcome rebuilt = runAction(m_messages, [this] { return vastrel::rebuildToc(m_workspace); });
    if (rebuilt.ok())
        refillLists();
}

void OperationsDialog::importFromMedium()
{
    runAction(m_messages, [this] {
        return vastrel::importFromMedium(
            m_workspace, flashMedium(m_workspace, m_drive->designation()), {},
            [this](const QString &name) { return m_messages.ask(replaceQuestion(name)); }, m_messages);
    });
    refillLists();
}

} // namespace vastrel
