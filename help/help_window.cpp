#include "help_window.h"
#include "guide_pages.h"

#include "domain/version.h"

#include <QAction>
#include <QDesktopServices>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

namespace vastrel::help {

namespace {

constexpr int PageRole = Qt::UserRole;

QList<int> allPages()
{
    QList<int> all;
    for (int i = 0; i < guidePages().size(); ++i)
        all.append(i);
    return all;
}

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Вастрель - Тавер " VASTREL_VERSION ": руководство пользователя"));

    auto *side = new QWidget(this);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(6, 6, 0, 6);
    auto *searchLabel = new QLabel(QStringLiteral("&Поиск:"), side);
    m_search = new QLineEdit(side);
    m_search->setObjectName(QStringLiteral("search"));
    m_search->setPlaceholderText(QStringLiteral("слово или сообщение"));
    m_search->setClearButtonEnabled(true);
    searchLabel->setBuddy(m_search);
    m_found = new QLabel(side);
    m_found->setObjectName(QStringLiteral("found"));
    auto *contentsLabel = new QLabel(QStringLiteral("&Содержание:"), side);
    m_contents = new QListWidget(side);
    m_contents->setObjectName(QStringLiteral("contents"));
    contentsLabel->setBuddy(m_contents);
    sideLayout->addWidget(searchLabel);
    sideLayout->addWidget(m_search);
    sideLayout->addWidget(m_found);
    sideLayout->addWidget(contentsLabel);
    sideLayout->addWidget(m_contents, 1);

    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("page"));
    m_page->setOpenLinks(true);
    m_page->setOpenExternalLinks(true);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(side);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 760});
    setCentralWidget(splitter);
    resize(960, 640);

    // Search once typing pauses, not on every key.
    auto *pause = new QTimer(this);
    pause->setSingleShot(true);
    pause->setInterval(250);
    connect(m_search, &QLineEdit::textChanged, pause, qOverload<>(&QTimer::start));
    connect(pause, &QTimer::timeout, this, [this] { search(m_search->text()); });
    connect(m_search, &QLineEdit::returnPressed, this, &HelpWindow::findNext);
    connect(m_contents, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            openPage(item->data(PageRole).toInt());
    });
    connect(m_page, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);

    auto *focusSearch = new QAction(this);
    focusSearch->setShortcuts({QKeySequence::Find, QKeySequence(Qt::Key_F3)});
    connect(focusSearch, &QAction::triggered, this, [this] {
        m_search->setFocus();
        m_search->selectAll();
    });
    addAction(focusSearch);

    listPages(allPages());
    openPage(0);
}

void HelpWindow::listPages(const QList<int> &indexes)
{
    const QSignalBlocker blocker(m_contents);
    m_contents->clear();
    for (int index : indexes) {
        auto *item = new QListWidgetItem(guidePages().at(index).title, m_contents);
        item->setData(PageRole, index);
    }
}

void HelpWindow::openPage(int index)
{
    if (index < 0 || index >= guidePages().size())
        return;
    const QUrl url(pageUrl(guidePages().at(index).file));
    if (m_page->source() != url)
        m_page->setSource(url);
    else
        markMatches();
}

void HelpWindow::pageChanged(const QUrl &url)
{
    const QString file = url.fileName();
    const QSignalBlocker blocker(m_contents);
    for (int row = 0; row < m_contents->count(); ++row) {
        QListWidgetItem *item = m_contents->item(row);
        if (guidePages().at(item->data(PageRole).toInt()).file == file)
            m_contents->setCurrentItem(item);
    }
    markMatches();
}

void HelpWindow::search(const QString &query)
{
    if (query.trimmed().isEmpty()) {
        m_found->clear();
        listPages(allPages());
        pageChanged(m_page->source());
        return;
    }
    const QList<int> found = pagesMatching(query);
    m_found->setText(found.isEmpty()
                         ? QStringLiteral("Ничего не найдено.")
                         : QStringLiteral("Найдено разделов: %1. Enter — следующее место.").arg(found.size()));
    m_found->setWordWrap(true);
    listPages(found);
    if (found.isEmpty()) {
        markMatches();
        return;
    }
    // Stay on the page shown when it matches; otherwise go to the first page that does.
    const QString shown = m_page->source().fileName();
    for (int index : found) {
        if (guidePages().at(index).file == shown) {
            pageChanged(m_page->source());
            return;
        }
    }
    openPage(found.first());
}

// Every place of the query's words on the page is highlighted.
void HelpWindow::markMatches()
{
    QList<QTextEdit::ExtraSelection> marks;
    const QStringList words = m_search->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString text = searchKey(m_page->document()->toPlainText());
    QTextCharFormat format;
    format.setBackground(QColor(255, 226, 110));
    format.setForeground(Qt::black);
    for (const QString &word : words) {
        const QString key = searchKey(word);
        for (qsizetype at = text.indexOf(key); at >= 0; at = text.indexOf(key, at + key.size())) {
            QTextCursor cursor(m_page->document());
            cursor.setPosition(int(at));
            cursor.setPosition(int(at + key.size()), QTextCursor::KeepAnchor);
            marks.append({cursor, format});
        }
    }
    m_page->setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor first = marks.first().cursor;
        first.clearSelection();
        m_page->setTextCursor(first);
        m_page->ensureCursorVisible();
    }
}

// Enter in the search field: the next place on this page, then the next matching page.
void HelpWindow::findNext()
{
    if (m_found->text().isEmpty() && !m_search->text().trimmed().isEmpty())
        search(m_search->text());
    const QStringList words = m_search->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return;
    const QString key = searchKey(words.first());
    const QString text = searchKey(m_page->document()->toPlainText());
    const int from = m_page->textCursor().position() + 1;
    const qsizetype at = text.indexOf(key, from);
    if (at >= 0) {
        QTextCursor cursor(m_page->document());
        cursor.setPosition(int(at));
        m_page->setTextCursor(cursor);
        m_page->ensureCursorVisible();
        return;
    }
    const int row = m_contents->currentRow();
    if (m_contents->count() > 0)
        m_contents->setCurrentRow((row + 1) % m_contents->count());
}

} // namespace vastrel::help
