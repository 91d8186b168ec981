#include "windows/code_edit.h"

#include "domain/masked_code.h"

#include <QKeyEvent>
#include <QTimer>

namespace vastrel {

CodeEdit::CodeEdit(MessageService &messages, QWidget *parent)
    : QLineEdit(parent)
    , m_messages(messages)
{
    // Qt's "9" is a required digit; the blank is the fill character.
    setInputMask(QStringLiteral("999; "));
}

QString CodeEdit::code() const
{
    return displayText().leftJustified(3, QLatin1Char(' '), true);
}

void CodeEdit::setCode(const QString &code)
{
    // setText would close up the blanks (" 1 " became "1  "): each digit goes to its own place.
    setText(QString());
    const QString padded = code.leftJustified(3, QLatin1Char(' '), true);
    for (int i = 0; i < 3; ++i) {
        if (padded.at(i) != QLatin1Char(' ')) {
            setCursorPosition(i);
            insert(padded.at(i));
        }
    }
    setCursorPosition(0);
    setModified(false);
}

QString CodeEdit::invalidInputMessage()
{
    return invalidCodeMessage();
}

bool CodeEdit::isPartlyFilled() const
{
    return isPartlyFilledCode(code());
}

bool CodeEdit::acceptCode()
{
    if (!isPartlyFilled())
        return true;
    // A refusal is already on its way when the click itself took the focus away.
    if (!m_refusing) {
        m_messages.refuse(invalidInputMessage());
        setFocus(Qt::OtherFocusReason);
    }
    return false;
}

void CodeEdit::focusInEvent(QFocusEvent *event)
{
    // Coming back from a message box or another window is no new edit.
    if (!m_refusing && event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_textOnEntry = code();
    QLineEdit::focusInEvent(event);
}

void CodeEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const bool toAnotherWindow =
        event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
    if (m_refusing || toAnotherWindow || !isModified() || !isPartlyFilled())
        return;
    m_refusing = true;
    // After the focus change has finished: the box takes the focus itself.
    QTimer::singleShot(0, this, [this] {
        m_messages.refuse(invalidInputMessage());
        setFocus(Qt::OtherFocusReason);
        m_refusing = false;
    });
}

void CodeEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    // Past the first blank, the mask would swallow the digits typed next.
    const qsizetype firstBlank = code().indexOf(QLatin1Char(' '));
    if (firstBlank >= 0 && !hasSelectedText() && cursorPosition() > firstBlank)
        setCursorPosition(int(firstBlank));
}

void CodeEdit::keyPressEvent(QKeyEvent *event)
{
    // The modified flag does not survive the refusal's round trip through
    // the message box, so the text itself tells whether there is a change.
    if (event->key() == Qt::Key_Escape && code() != m_textOnEntry) {
        setCode(m_textOnEntry);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace vastrel
