#include "guide_pages.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

// The guide's resources live in a static library: register them before the first use.
static void initGuideResources()
{
    Q_INIT_RESOURCE(guide);
}

namespace vastrel::help {

const QList<GuidePage> &guidePages()
{
    static const bool registered = (initGuideResources(), true);
    Q_UNUSED(registered);
    static const QList<GuidePage> pages = {
        {QStringLiteral("index.html"), QStringLiteral("О программе")},
        {QStringLiteral("start.html"), QStringLiteral("Первый запуск и настройки")},
        {QStringLiteral("register.html"), QStringLiteral("Новая смета")},
        {QStringLiteral("entering.html"), QStringLiteral("Ввод сумм и расчёт")},
        {QStringLiteral("saving.html"), QStringLiteral("Запись и показ сметы")},
        {QStringLiteral("operations.html"), QStringLiteral("Операции со сметами")},
        {QStringLiteral("documents.html"), QStringLiteral("Документы: Excel и PDF")},
        {QStringLiteral("files.html"), QStringLiteral("Файлы базы и резервная копия")},
        {QStringLiteral("messages.html"), QStringLiteral("Сообщения программы")},
        {QStringLiteral("command.html"), QStringLiteral("Команда vastrel")},
    };
    return pages;
}

QString pageUrl(const QString &file)
{
    return QStringLiteral("qrc:/guide/") + file;
}

QString pageHtml(const QString &file)
{
    QFile page(QStringLiteral(":/guide/") + file);
    if (!page.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(page.readAll());
}

QString pageText(const QString &file)
{
    // Searched on every keystroke: convert each page once.
    static QHash<QString, QString> texts;
    auto it = texts.find(file);
    if (it == texts.end()) {
        static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
        QString text = pageHtml(file).replace(tag, QStringLiteral(" "));
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        // The pages break lines anywhere; a message searched for must match across them.
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        it = texts.insert(file, text.replace(blanks, QStringLiteral(" ")));
    }
    return *it;
}

QString searchKey(const QString &text)
{
    QString key = text.toLower();
    key.replace(QChar(u'ё'), QChar(u'е'));
    return key;
}

QList<int> pagesMatching(const QString &query)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = searchKey(query).split(blanks, Qt::SkipEmptyParts);
    QList<int> found;
    if (words.isEmpty())
        return found;
    const QList<GuidePage> &pages = guidePages();
    for (int i = 0; i < pages.size(); ++i) {
        const QString text = searchKey(pages[i].title + QLatin1Char('\n') + pageText(pages[i].file));
        bool all = true;
        for (const QString &word : words)
            all = all && text.contains(word);
        if (all)
            found.append(i);
    }
    return found;
}

} // namespace vastrel::help
