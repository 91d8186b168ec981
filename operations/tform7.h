#pragma once

#include <QDialog>

// The deletion confirmation window "35". It only reports the answer: "да"
// accepts, "нет" rejects; the operations window deletes.
class TForm7 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);
};
