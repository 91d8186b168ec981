#include "windows/code_edit.h"

#include "base/masked_code.h"

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
    setText(code);
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
    if (!m_refusing)
        m_textOnEntry = text();
    QLineEdit::focusInEvent(event);
}

void CodeEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_refusing || !isModified() || !isPartlyFilled())
        return;
    m_refusing = true;
    // After the focus change has finished: the box takes the focus itself.
    QTimer::singleShot(0, this, [this] {
        m_messages.refuse(invalidInputMessage());
        setFocus(Qt::OtherFocusReason);
        m_refusing = false;
    });
}

void CodeEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && isModified()) {
        setText(m_textOnEntry);
        setModified(false);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace vastrel
