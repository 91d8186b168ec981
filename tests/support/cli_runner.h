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

// Whether poppler's pdftotext can be started. Under Wine it cannot: it is a
// Linux program, and Windows' process API starts only Windows programs.
bool havePdfText();
// Skips the rest of a test that reads a PDF's text where pdftotext is missing.
#define VASTREL_SKIP_WITHOUT_PDFTOTEXT()                                                                               \
    if (!vastrel::test::havePdfText())                                                                                 \
    GTEST_SKIP() << "pdftotext (poppler) cannot be started here; the PDF's text is checked on Linux"
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
