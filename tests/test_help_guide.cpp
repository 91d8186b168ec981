#include "guide_pages.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <gtest/gtest.h>

using namespace vastrel::help;

namespace {

// Every page is in the contents, and every link and picture of a page leads somewhere.
TEST(HelpGuide, EveryPageIsListedAndEveryLinkAndPictureResolves)
{
    QSet<QString> listed;
    for (const GuidePage &page : guidePages()) {
        SCOPED_TRACE(page.file.toStdString());
        listed.insert(page.file);
        const QString html = pageHtml(page.file);
        ASSERT_FALSE(html.isEmpty());
        EXPECT_TRUE(html.contains(QStringLiteral("<h1>")));
        static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#:]+)(?:#([^\"]*))?\""));
        for (auto it = reference.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            const QString target = match.captured(1);
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/guide/") + target)) << target.toStdString();
            if (!match.captured(2).isEmpty()) {
                EXPECT_TRUE(pageHtml(target).contains(QStringLiteral("name=\"%1\"").arg(match.captured(2))))
                    << (target + u'#' + match.captured(2)).toStdString();
            }
        }
    }
    for (const QString &file : QDir(QStringLiteral(":/guide")).entryList({QStringLiteral("*.html")}))
        EXPECT_TRUE(listed.contains(file)) << file.toStdString() << " is not in the contents";
}

// What a user types into the search: a message as the program shows it, a word
// with "ё" or without, several words, capitals.
TEST(HelpGuide, SearchFindsThePagesThatExplainWhatTheUserSaw)
{
    const struct
    {
        const char *query;
        const char *page; // a page that must be found; empty: nothing is found
    } cases[] = {
        {"Пустая смета!", "messages.html"},
        {"Ошибки в смете!", "messages.html"},
        {"I/O error 21", "messages.html"},
        {"Файл с таким именем уже существует в системе!", "messages.html"},
        {"Настройки в системе не установлены.", "start.html"},
        {"расчет", "entering.html"},
        {"ПРИНЯТЬ СМЕТЫ С НОСИТЕЛЯ", "operations.html"},
        {"резервная копия departments.txt", "files.html"},
        {"vastrel import --replace", "command.html"},
        {"PDF", "documents.html"},
        {"абракадабра", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.query);
        QStringList found;
        for (int index : pagesMatching(QString::fromUtf8(c.query)))
            found.append(guidePages().at(index).file);
        if (*c.page)
            EXPECT_TRUE(found.contains(QString::fromUtf8(c.page))) << found.join(u' ').toStdString();
        else
            EXPECT_TRUE(found.isEmpty()) << found.join(u' ').toStdString();
    }
}

} // namespace
