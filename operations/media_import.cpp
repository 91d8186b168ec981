#include "operations/media_import.h"

#include "base/base_lock.h"
#include "base/error.h"
#include "base/estimate_file.h"
#include "base/estimate_name.h"
#include "base/table_of_contents.h"
#include "base/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace vastrel {

namespace {

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw file.exists() ? Error::io(IoCode::DiskRead) : Error::fileNotFound();
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::io(IoCode::DiskRead);
    return bytes;
}

QString quoted(const QString &name)
{
    return QStringLiteral("«") + name + QStringLiteral("»");
}

class Intake
{
public:
    Intake(const Workspace &workspace, const Medium &medium, const ReplaceConsent &consent,
           const MediumReader &reader, IntakeResult &result)
        : m_workspace(workspace), m_medium(medium), m_consent(consent), m_reader(reader), m_result(result)
    {
    }

    void run(const QStringList &names)
    {
        requireMedium(m_medium);
        const QString mediumToc = m_medium.root + Workspace::tocName();
        if (!fileExists(mediumToc))
            throw Error(QStringLiteral("На носителе нет оглавления %1 — принимать нечего.").arg(Workspace::tocName()));
        QStringList records = textLines(read(mediumToc));
        records.removeAll(QString());
        m_baseToc = readToc(m_workspace, OpenFailure::FileNotFound);
        m_baseNames = baseNameVariants(m_workspace.baseDir(), m_baseToc);

        // The first record of a name counts, as everywhere else.
        QStringList seen;
        for (const QString &line : records) {
            const QString name = estimateNameOf(line);
            if (seen.contains(name) || (!names.isEmpty() && !names.contains(name)))
                continue;
            seen.append(name);
            takeRecord(line, !names.isEmpty());
        }
        for (const QString &name : names) {
            if (!seen.contains(name))
                note(QStringLiteral("Сметы %1 нет в оглавлении носителя — не принята.").arg(quoted(name)), true);
        }
        if (names.isEmpty())
            noteFilesWithoutRecord(seen);
    }

private:
    QByteArray read(const QString &path) const { return m_reader ? m_reader(path) : readWhole(path); }
    void note(const QString &text, bool refusal) { m_result.notes.append({text, refusal}); }

    void takeRecord(const QString &line, bool named)
    {
        const TocRecord record = TocRecord::split(line);
        const QString name = record.name;
        if (name.isEmpty()) {
            note(QStringLiteral("Запись %1 без имени сметы — не принята.").arg(quoted(line)), true);
            return;
        }
        QString problem = newEstimateNameProblem(name);
        if (problem.isEmpty())
            problem = checkStorableText(record.line(), QStringLiteral("Запись оглавления"));
        if (const QString existing = m_baseNames.variantOf(name); problem.isEmpty() && !existing.isEmpty())
            problem = caseVariantMessage(name, existing);
        if (!problem.isEmpty()) {
            note(QStringLiteral("Смета %1 не принята: %2").arg(quoted(name), problem), true);
            return;
        }
        // A medium pulled out midway stops the intake rather than making
        // every later record look like one without a file.
        requireMedium(m_medium);
        const QString fileName = name + QStringLiteral(".xml");
        const QString mediumFile = m_medium.root + fileName;
        if (!fileExists(mediumFile)) {
            note(QStringLiteral("Запись %1: файла %2 на носителе нет — не принята.").arg(quoted(line), fileName),
                 named);
            return;
        }
        const QByteArray bytes = read(mediumFile);
        if (const QString fault = estimateFileProblem(bytes); !fault.isEmpty()) {
            note(QStringLiteral("Файл %1 на носителе не является файлом сметы (%2) — не принят.")
                     .arg(quoted(fileName), fault),
                 true);
            return;
        }

        const QString basePath = m_workspace.estimatePath(name);
        std::optional<QByteArray> old;
        if (fileExists(basePath))
            old = readWhole(basePath);
        const bool listed = recordIndex(name) >= 0;
        if (old && *old == bytes && listed) {
            note(QStringLiteral("Смета %1 уже есть в базе — пропущена.").arg(quoted(name)), false);
            return;
        }
        if (old && *old != bytes && !(m_consent && m_consent(name))) {
            note(QStringLiteral("Смета %1 уже есть в базе и отличается от сметы на носителе — не заменена.")
                     .arg(quoted(name)),
                 true);
            return;
        }
        store(name, bytes, old, record.line());
    }

    int recordIndex(const QString &name) const
    {
        for (int i = 0; i < m_baseToc.size(); ++i) {
            if (estimateNameOf(m_baseToc.at(i)) == name)
                return i;
        }
        return -1;
    }

    // The file first, then its record; when the record cannot be written the
    // file goes back to what it was, so the base never holds half an intake.
    void store(const QString &name, const QByteArray &bytes, const std::optional<QByteArray> &old,
               const QString &record)
    {
        const QString basePath = m_workspace.estimatePath(name);
        const QString shown = Workspace::shown(Workspace::estimateName(name));
        writeFileAtomically(basePath, shown, bytes);
        try {
            const int at = recordIndex(name);
            if (at < 0) {
                appendTocLine(m_workspace, record);
                m_baseToc.append(record);
            } else {
                // A replaced estimate keeps one record, in its place.
                QStringList toc = m_baseToc;
                toc[at] = record;
                for (int i = int(toc.size()) - 1; i > at; --i) {
                    if (estimateNameOf(toc.at(i)) == name)
                        toc.removeAt(i);
                }
                writeToc(m_workspace, toc);
                m_baseToc = toc;
            }
        } catch (const Error &) {
            try {
                if (old)
                    writeFileAtomically(basePath, shown, *old);
                else
                    QFile::remove(basePath);
            } catch (const Error &) {
                // The record's error is the one to report.
            }
            throw;
        }
        m_baseNames.add(name);
        ++m_result.taken;
    }

    void noteFilesWithoutRecord(const QStringList &recordNames)
    {
        const QStringList files = QDir(m_medium.root).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
        for (const QString &file : files) {
            if (file.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive) && !recordNames.contains(file.chopped(4)))
                note(QStringLiteral("Файл %1 на носителе без записи в оглавлении — не принят.").arg(quoted(file)),
                     false);
        }
    }

    const Workspace &m_workspace;
    const Medium &m_medium;
    const ReplaceConsent &m_consent;
    const MediumReader &m_reader;
    IntakeResult &m_result;
    QStringList m_baseToc;
    CaseVariants m_baseNames;
};

} // namespace

QString IntakeResult::report() const
{
    QString text = QStringLiteral("Принято смет: %1.").arg(taken);
    for (const IntakeNote &n : notes)
        text += QLatin1Char('\n') + n.text;
    return text;
}

bool IntakeResult::refusedAny() const
{
    return std::any_of(notes.begin(), notes.end(), [](const IntakeNote &n) { return n.refusal; });
}

IntakeResult importFromMedium(const Workspace &workspace, const Medium &medium, const QStringList &names,
                              const ReplaceConsent &consent, const MediumReader &reader)
{
    IntakeResult result;
    try {
        const BaseLock lock(workspace);
        Intake(workspace, medium, consent, reader, result).run(names);
    } catch (const Error &error) {
        result.error = error.text();
    }
    return result;
}

QString replaceQuestion(const QString &estimateName)
{
    return QStringLiteral("Смета %1 уже есть в базе. Заменить?").arg(quoted(estimateName));
}

bool showIntakeResult(const IntakeResult &result, MessageService &messages)
{
    messages.show(result.refusedAny() ? MessageKind::Refusal : MessageKind::Information, result.report());
    if (!result.error.isEmpty())
        messages.show(MessageKind::Error, result.error);
    return !result.refusedAny() && result.error.isEmpty();
}

} // namespace vastrel
