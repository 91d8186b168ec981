#pragma once

#include "domain/messages.h"

#include <QLineEdit>

namespace vastrel {

// A field of exactly three digits whose empty positions are blanks: its text
// is three spaces when untouched. Leaving it with one or two digits typed is
// refused with the masked field's message and the focus stays; Escape brings
// back the text it had when it got the focus.
class CodeEdit : public QLineEdit
{
    Q_OBJECT
public:
    CodeEdit(MessageService &messages, QWidget *parent = nullptr);

    // The text with its blanks, always three characters.
    QString code() const;
    void setCode(const QString &code);

    static QString invalidInputMessage();
    // One or two digits typed: not a code yet.
    bool isPartlyFilled() const;
    // For a button that needs the code: false after refusing a partly
    // filled field (once, also when leaving the field refused it already).
    bool acceptCode();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    MessageService &m_messages;
    QString m_textOnEntry;
    bool m_refusing = false;
};

} // namespace vastrel
