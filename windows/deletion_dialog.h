#pragma once

#include <QDialog>
#include <QStringList>

namespace vastrel {

// The deletion confirmation window "35". It only reports the answer: "да"
// accepts, "нет" rejects; the operations window deletes. Below the warning
// it names the estimates that would go.
class DeletionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DeletionDialog(const QStringList &names = {}, QWidget *parent = nullptr);
};

} // namespace vastrel
