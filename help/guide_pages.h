#pragma once

#include <QList>
#include <QString>

namespace vastrel::help {

// One page of the user guide, kept as HTML in the program's resources.
struct GuidePage
{
    QString file;  // name under ":/guide/"
    QString title; // as the contents list shows it
};

// The pages in the order the contents list shows them.
const QList<GuidePage> &guidePages();

QString pageUrl(const QString &file); // "qrc:/guide/" + file
QString pageHtml(const QString &file);
QString pageText(const QString &file);

// Folds case and "ё" so that a search for "ещё" finds "еще" and the other way round.
QString searchKey(const QString &text);

// Indexes into guidePages() of the pages whose text holds every word of the query.
QList<int> pagesMatching(const QString &query);

} // namespace vastrel::help
