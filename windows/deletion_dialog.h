#pragma once

#include <QDialog>

namespace vastrel {

// The deletion confirmation window "35". It only reports the answer: "да"
// accepts, "нет" rejects; the operations window deletes.
class DeletionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DeletionDialog(QWidget *parent = nullptr);
};

} // namespace vastrel
