#include "operations/media_import.h"

#include "domain/error.h"
#include "store/base_lock.h"
#include "store/estimate_file.h"
#include "store/estimate_name.h"
#include "store/table_of_contents.h"
#include "store/text_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vastrel {

namespace {

// Refusals beyond these are in the details only: a message box of thousands
// of lines helps no one.
constexpr int RefusalsInReport = 20;

QString quoted(const QString &name)
{
    return QStringLiteral("«") + name + QStringLiteral("»");
}

QString mediumGone(const QString &detail)
{
    return QStringLiteral("%1 Носитель отключён или изменён во время приёма смет. Принятые до этого сметы "
                          "сохранены в базе; проверьте носитель и повторите приём.")
        .arg(detail);
}

// The medium as it was when the intake began: the names in its root and the
// device it is on. A file listed then and missing now, or another device at
// the root, means the medium went away (an unmounted mount point is still a
// directory, only empty).
class MediumSnapshot
{
public:
    explicit MediumSnapshot(const Medium &medium)
        : m_medium(medium)
    {
        requireMedium(medium);
        m_device = device();
        QDirIterator it(medium.root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            it.next();
            const QString name = it.fileName();
            m_names.insert(name);
            m_folded.insert(name.toCaseFolded());
        }
    }

    bool listed(const QString &fileName) const { return m_names.contains(fileName); }
    // On a FAT medium another case names the same file.
    bool listedInAnyCase(const QString &fileName) const { return m_folded.contains(fileName.toCaseFolded()); }
    const QSet<QString> &names() const { return m_names; }

    void requireSame() const
    {
        requireMedium(m_medium);
        if (device() != m_device)
            throw Error(mediumGone(QStringLiteral("На месте носителя %1 теперь другой диск.")
                                       .arg(QDir::toNativeSeparators(m_medium.root))));
    }

private:
    std::optional<quint64> device() const
    {
#ifdef Q_OS_UNIX
        struct stat status;
        if (::stat(QFile::encodeName(m_medium.root).constData(), &status) == 0)
            return quint64(status.st_dev);
#endif
        return std::nullopt;
    }

    const Medium &m_medium;
    std::optional<quint64> m_device;
    QSet<QString> m_names;
    QSet<QString> m_folded;
};

// What stood in the base under an estimate's name before the intake wrote
// it, so that it can be put back.
struct BaseEntry
{
    enum class Kind {
        None,
        File,
        Link
    } kind = Kind::None;
    QByteArray bytes;
    std::filesystem::path linkTarget;
};

struct Stored
{
    QString name;
    BaseEntry old;
};

class Intake
{
public:
    Intake(const Workspace &workspace, const Medium &medium, const ReplaceConsent &consent, const MediumReader &reader,
           IntakeReport &report)
        : m_workspace(workspace)
        , m_medium(medium)
        , m_consent(consent)
        , m_reader(reader)
        , m_report(report)
    {}

    void run(const QStringList &names)
    {
        const MediumSnapshot snapshot(m_medium);
        const QStringList records = mediumRecords();
        m_baseToc = readToc(m_workspace, OpenFailure::FileNotFound);
        m_baseNames = baseNameVariants(m_workspace.baseDir(), m_baseToc);
        for (qsizetype i = m_baseToc.size() - 1; i >= 0; --i)
            m_index.insert(estimateNameOf(m_baseToc.at(i)), i); // the first one wins

        const QSet<QString> wanted(names.begin(), names.end());
        try {
            // The first record of a name counts, as everywhere else.
            for (const QString &line : records) {
                const QString name = estimateNameOf(line);
                if (m_seen.contains(name) || (!wanted.isEmpty() && !wanted.contains(name)))
                    continue;
                m_seen.insert(name);
                takeRecord(snapshot, line, !wanted.isEmpty());
            }
        } catch (const Error &) {
            // What was taken stays taken: its records are written first.
            recordStored();
            throw;
        }
        recordStored();
        for (const QString &name : names) {
            if (!m_seen.contains(name))
                refuse(QStringLiteral("Сметы %1 нет в оглавлении носителя — не принята.").arg(quoted(name)));
        }
        if (names.isEmpty())
            noteFilesWithoutRecord(snapshot);
    }

private:
    UntrustedFile read(const QString &path, qint64 cap) const
    {
        return m_reader ? m_reader(path, cap) : readUntrustedFile(path, cap);
    }
    void refuse(const QString &text) { m_report.refusals.append(text); }

    QStringList mediumRecords() const
    {
        const QString toc = Workspace::tocName();
        const UntrustedFile file = read(m_medium.root + toc, MaxMediumTocBytes);
        switch (file.kind) {
        case UntrustedFile::Kind::Regular:
            break;
        case UntrustedFile::Kind::Missing:
            throw Error(QStringLiteral("На носителе нет оглавления %1 — принимать нечего.").arg(toc));
        case UntrustedFile::Kind::Link:
            throw Error(QStringLiteral("Оглавление %1 на носителе — символическая ссылка, а не файл; ссылки с "
                                       "носителя не принимаются. Ничего не принято.")
                            .arg(toc));
        case UntrustedFile::Kind::Special:
            throw Error(QStringLiteral("Оглавление %1 на носителе — не обычный файл (каталог, устройство или "
                                       "канал). Ничего не принято.")
                            .arg(toc));
        case UntrustedFile::Kind::TooLarge:
            throw Error(QStringLiteral("Оглавление %1 на носителе больше 64 МБ — это не оглавление базы смет. "
                                       "Ничего не принято.")
                            .arg(toc));
        case UntrustedFile::Kind::Unreadable:
            throw Error(QStringLiteral("Оглавление %1 на носителе нельзя прочитать: нет прав на чтение. "
                                       "Ничего не принято.")
                            .arg(toc));
        }
        QStringList records = textLines(file.bytes);
        records.removeAll(QString());
        return records;
    }

    // The medium's file of an estimate, or nothing when a note says why not.
    std::optional<QByteArray> mediumEstimate(const MediumSnapshot &snapshot, const QString &line,
                                             const QString &fileName, bool named)
    {
        const bool listed = snapshot.listed(fileName);
        if (!listed && !snapshot.listedInAnyCase(fileName)) {
            noteWithoutFile(line, fileName, named);
            return std::nullopt;
        }
        snapshot.requireSame();
        const UntrustedFile file = read(m_medium.root + fileName, MaxEstimateFileBytes);
        const QString shown = quoted(fileName);
        switch (file.kind) {
        case UntrustedFile::Kind::Regular:
            return file.bytes;
        case UntrustedFile::Kind::Missing:
            if (listed)
                throw Error(mediumGone(
                    QStringLiteral("Файл %1 был на носителе в начале приёма, а теперь его нет.").arg(shown)));
            noteWithoutFile(line, fileName, named);
            break;
        case UntrustedFile::Kind::Link:
            refuse(QStringLiteral("Файл %1 на носителе — символическая ссылка; ссылки с носителя не принимаются "
                                  "— не принят.")
                       .arg(shown));
            break;
        case UntrustedFile::Kind::Special:
            refuse(QStringLiteral("Файл %1 на носителе — не обычный файл (каталог, устройство или канал) — не "
                                  "принят.")
                       .arg(shown));
            break;
        case UntrustedFile::Kind::TooLarge:
            refuse(QStringLiteral("Файл %1 на носителе больше %2, а файл сметы занимает несколько килобайт — "
                                  "не принят.")
                       .arg(shown, maxEstimateFileText()));
            break;
        case UntrustedFile::Kind::Unreadable:
            refuse(QStringLiteral("Файл %1 на носителе нельзя прочитать: нет прав на чтение — не принят.").arg(shown));
            break;
        }
        return std::nullopt;
    }

    void noteWithoutFile(const QString &line, const QString &fileName, bool named)
    {
        const QString text =
            QStringLiteral("Запись %1: файла %2 на носителе нет — не принята.").arg(quoted(line), fileName);
        if (named)
            refuse(text);
        else
            m_report.withoutFile.append(line);
    }

    // What the base holds under the name, or nothing when a refusal says why
    // it cannot be compared or put back.
    std::optional<BaseEntry> baseEntry(const QString &name)
    {
        const QString path = m_workspace.estimatePath(name);
        BaseEntry entry;
        if (isLink(path)) {
            std::error_code error;
            entry.kind = BaseEntry::Kind::Link;
            entry.linkTarget = std::filesystem::read_symlink(nativePath(path), error);
            if (!error)
                return entry;
        } else {
            const UntrustedFile file = readUntrustedFile(path, MaxMediumTocBytes);
            if (file.kind == UntrustedFile::Kind::Missing)
                return entry;
            if (file.kind == UntrustedFile::Kind::Regular) {
                entry.kind = BaseEntry::Kind::File;
                entry.bytes = file.bytes;
                return entry;
            }
        }
        refuse(QStringLiteral("Смета %1 не принята: её место в базе занимает не файл сметы (%2).")
                   .arg(quoted(name), QDir::toNativeSeparators(path)));
        return std::nullopt;
    }

    void takeRecord(const MediumSnapshot &snapshot, const QString &line, bool named)
    {
        const TocRecord record = TocRecord::split(line);
        const QString name = record.name;
        if (name.isEmpty()) {
            refuse(QStringLiteral("Запись %1 без имени сметы — не принята.").arg(quoted(line)));
            return;
        }
        QString problem = newEstimateNameProblem(name);
        if (problem.isEmpty())
            problem = checkStorableText(record.line(), QStringLiteral("Запись оглавления"));
        if (const QString existing = m_baseNames.variantOf(name); problem.isEmpty() && !existing.isEmpty())
            problem = caseVariantMessage(name, existing);
        if (!problem.isEmpty()) {
            refuse(QStringLiteral("Смета %1 не принята: %2").arg(quoted(name), problem));
            return;
        }
        const QString fileName = name + QStringLiteral(".xml");
        const std::optional<QByteArray> bytes = mediumEstimate(snapshot, line, fileName, named);
        if (!bytes)
            return;
        if (const QString fault = estimateFileProblem(*bytes); !fault.isEmpty()) {
            refuse(QStringLiteral("Файл %1 на носителе не является файлом сметы (%2) — не принят.")
                       .arg(quoted(fileName), fault));
            return;
        }

        const std::optional<BaseEntry> old = baseEntry(name);
        if (!old)
            return;
        const bool same = old->kind == BaseEntry::Kind::File && old->bytes == *bytes;
        if (same && m_index.contains(name)) {
            ++m_report.identical;
            return;
        }
        if (old->kind != BaseEntry::Kind::None && !same && !(m_consent && m_consent(name))) {
            refuse(QStringLiteral("Смета %1 уже есть в базе и отличается от сметы на носителе — не заменена.")
                       .arg(quoted(name)));
            return;
        }
        store(name, *bytes, *old, record.line());
    }

    void store(const QString &name, const QByteArray &bytes, const BaseEntry &old, const QString &record)
    {
        writeFileAtomically(m_workspace.estimatePath(name), shownName(name), bytes, SafeFileWriter::Links::Replace);
        m_stored.append({name, old});
        m_baseNames.add(name);
        ++m_report.taken;
        if (const auto at = m_index.constFind(name); at != m_index.constEnd()) {
            // A replaced estimate keeps one record, in its place.
            m_baseToc[*at] = record;
            m_replaced.insert(name);
        } else {
            m_index.insert(name, m_baseToc.size());
            m_baseToc.append(record);
        }
    }

    static QString shownName(const QString &name) { return Workspace::shown(Workspace::estimateName(name)); }

    // The records of the estimates stored so far, in one write of the table
    // of contents. When it fails, their files go back to what they were, so
    // the base never holds a file the table of contents does not list.
    void recordStored()
    {
        if (m_stored.isEmpty())
            return;
        QStringList lines;
        if (m_replaced.isEmpty()) {
            lines = m_baseToc;
        } else {
            QSet<QString> kept;
            for (const QString &line : std::as_const(m_baseToc)) {
                const QString name = estimateNameOf(line);
                if (m_replaced.contains(name)) {
                    if (kept.contains(name))
                        continue;
                    kept.insert(name);
                }
                lines.append(line);
            }
        }
        try {
            writeToc(m_workspace, lines);
        } catch (const Error &) {
            putBack();
            throw;
        }
        m_stored.clear();
    }

    void putBack()
    {
        for (auto it = m_stored.crbegin(); it != m_stored.crend(); ++it) {
            const QString path = m_workspace.estimatePath(it->name);
            try {
                switch (it->old.kind) {
                case BaseEntry::Kind::File:
                    writeFileAtomically(path, shownName(it->name), it->old.bytes, SafeFileWriter::Links::Replace);
                    break;
                case BaseEntry::Kind::Link: {
                    QFile::remove(path);
                    std::error_code error;
                    std::filesystem::create_symlink(it->old.linkTarget, nativePath(path), error);
                    break;
                }
                case BaseEntry::Kind::None:
                    QFile::remove(path);
                    break;
                }
            } catch (const Error &) {
                // The error of the table of contents is the one to report.
            }
        }
        m_report.taken -= int(m_stored.size());
        m_stored.clear();
    }

    void noteFilesWithoutRecord(const MediumSnapshot &snapshot)
    {
        for (const QString &file : snapshot.names()) {
            if (file.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive) && !m_seen.contains(file.chopped(4)))
                m_report.withoutRecord.append(file);
        }
        std::sort(m_report.withoutRecord.begin(), m_report.withoutRecord.end());
    }

    const Workspace &m_workspace;
    const Medium &m_medium;
    const ReplaceConsent &m_consent;
    const MediumReader &m_reader;
    IntakeReport &m_report;
    QStringList m_baseToc;
    CaseVariants m_baseNames;
    QHash<QString, qsizetype> m_index; // the first record of each name in m_baseToc
    QSet<QString> m_seen;
    QSet<QString> m_replaced;
    QList<Stored> m_stored; // written, not yet in the table of contents
};

} // namespace

QString IntakeReport::text() const
{
    QString text = QStringLiteral("Принято смет: %1.").arg(taken);
    if (identical > 0)
        text += QStringLiteral(" Пропущено (уже есть в базе): %1.").arg(identical);
    if (!refusals.isEmpty())
        text += QStringLiteral(" Не принято: %1.").arg(refusals.size());
    if (!withoutFile.isEmpty())
        text += QStringLiteral(" Записей оглавления без файла на носителе: %1.").arg(withoutFile.size());
    if (!withoutRecord.isEmpty())
        text += QStringLiteral(" Файлов на носителе без записи в оглавлении: %1.").arg(withoutRecord.size());
    for (qsizetype i = 0; i < refusals.size() && i < RefusalsInReport; ++i)
        text += QLatin1Char('\n') + refusals.at(i);
    if (refusals.size() > RefusalsInReport)
        text += QStringLiteral("\n… и ещё не принятых: %1 (полный список — в подробностях).")
                    .arg(refusals.size() - RefusalsInReport);
    return text;
}

QString IntakeReport::details() const
{
    QStringList parts;
    const auto list = [&](const QString &title, const QStringList &items) {
        if (!items.isEmpty())
            parts.append(title + QStringLiteral("\n") + items.join(QLatin1Char('\n')));
    };
    if (refusals.size() > RefusalsInReport)
        list(QStringLiteral("Не приняты:"), refusals);
    list(QStringLiteral("Записи оглавления носителя, файлов которых на носителе нет:"), withoutFile);
    list(QStringLiteral("Файлы на носителе без записи в оглавлении:"), withoutRecord);
    return parts.join(QStringLiteral("\n"));
}

Outcome IntakeReport::outcome(bool withDetails) const
{
    QString message = text();
    if (const QString more = details(); withDetails && !more.isEmpty())
        message += QLatin1Char('\n') + more;
    return refusedAny() ? Outcome::refusal(message) : Outcome::done(message);
}

void runIntake(const Workspace &workspace, const Medium &medium, const QStringList &names,
               const ReplaceConsent &consent, IntakeReport &report, const MediumReader &reader)
{
    const BaseLock lock(workspace);
    Intake(workspace, medium, consent, reader, report).run(names);
}

Outcome importFromMedium(const Workspace &workspace, const Medium &medium, const QStringList &names,
                         const ReplaceConsent &consent, MessageService &messages, bool withDetails,
                         const MediumReader &reader)
{
    IntakeReport report;
    try {
        runIntake(workspace, medium, names, consent, report, reader);
    } catch (const Error &) {
        vastrel::report(messages, report.outcome(withDetails));
        throw;
    }
    return shownIn(messages, report.outcome(withDetails));
}

QString replaceQuestion(const QString &estimateName)
{
    return QStringLiteral("Смета %1 уже есть в базе. Заменить?").arg(quoted(estimateName));
}

} // namespace vastrel
