#pragma once

#include <QList>
#include <QWidget>

class QPushButton;
class QScrollArea;

namespace vastrel {

// The panel down the right edge of the main window. Its buttons keep their
// place however short the window is, since every action starts there: they
// give up their spare height first, then the list and the status above them
// scroll instead.
class SidePanel : public QWidget
{
public:
    static constexpr int Width = 276;

    explicit SidePanel(QWidget *parent);
    void setContents(QScrollArea *top, const QList<QPushButton *> &buttons);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int naturalTop() const;
    int shortButton() const;
    int buttonsHeight(int button, int gap) const;
    void place();

    QScrollArea *m_top = nullptr;
    QList<QPushButton *> m_buttons;
};

} // namespace vastrel
