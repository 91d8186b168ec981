#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace vastrel {

// An error of the file layer or of a number conversion. It ends the action where
// it stands; the default handler (runAction) shows its text and the program goes on.
// The text is the platform's English message, as other installations know it,
// then one Russian line that says what is wrong and what to do.
class Error : public std::exception
{
public:
    explicit Error(QString text);

    const QString &text() const { return m_text; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    static Error fileNotFound();
    static Error cannotOpen(const QString &fileName, const QString &reason);
    static Error cannotCreate(const QString &fileName, const QString &reason);
    // `where`: the folder or drive the error concerns, when it is a medium's.
    static Error io(int code, const QString &where = {});
    static Error notAFloat(const QString &text);

    // The English line alone.
    const QString &platformText() const { return m_platform; }

private:
    Error(const QString &platformText, const QString &advice);

    QString m_platform;
    QString m_text;
    QByteArray m_utf8;
};

// Runtime error numbers of the "I/O error %d" message.
namespace IoCode {
constexpr int FileNotOpen = 103;
constexpr int DiskWrite = 101;
constexpr int DiskRead = 100;
constexpr int PathNotFound = 3;
constexpr int AccessDenied = 5;
constexpr int NotReady = 21;
} // namespace IoCode

} // namespace vastrel
