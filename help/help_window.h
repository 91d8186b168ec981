#pragma once

#include <QMainWindow>

class QLabel;
class QLineEdit;
class QListWidget;
class QTextBrowser;
class QUrl;

namespace vastrel::help {

// The guide: the contents on the left, a search field above them, the page on the right.
class HelpWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    void openPage(int index);

private:
    void search(const QString &query);
    void findNext();
    void markMatches();
    void pageChanged(const QUrl &url);
    void listPages(const QList<int> &indexes);

    QLineEdit *m_search;
    QLabel *m_found;
    QListWidget *m_contents;
    QTextBrowser *m_page;
};

} // namespace vastrel::help
