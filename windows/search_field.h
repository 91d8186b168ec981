#pragma once

#include <QLineEdit>

namespace vastrel {

// A field that narrows a list as the user types part of a name or code.
// Escape clears it; on an empty field Escape goes on to the window.
class SearchField : public QLineEdit
{
    Q_OBJECT
public:
    explicit SearchField(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace vastrel
