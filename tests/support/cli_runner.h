#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace vastrel::test {

struct CliResult
{
    int exitCode = -1;
    QString out; // standard output, UTF-8
    QString err; // standard error
};

// Runs the built `vastrel` tool (or a copy of it) with the arguments, under a Russian locale.
CliResult runCli(const QStringList &arguments, const QString &program = QStringLiteral(VASTREL_CLI));
// The same under another locale ("C.UTF-8").
CliResult runCliUnder(const QString &locale, const QStringList &arguments);

// The text of a PDF as poppler's pdftotext lays it out; empty when unreadable.
QString pdfText(const QString &path);
// The words of a PDF with their boxes in points from the page's top left, pages from 1.
struct PdfWord
{
    int page = 0;
    QString text;
    QRectF box;
};
QList<PdfWord> pdfWords(const QString &path);
// The first of `parts` missing from `text` after the one before it, or the empty text.
QString firstOutOfOrder(const QString &text, const QStringList &parts);

} // namespace vastrel::test
