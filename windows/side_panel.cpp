#include "windows/side_panel.h"

#include <QPushButton>
#include <QScrollArea>

#include <algorithm>

namespace vastrel {

namespace {

constexpr int Margin = 6;
constexpr int TightMargin = 4;
constexpr int Side = 10;
constexpr int Gap = 8;
constexpr int TightGap = 4;
constexpr int TallButton = 31;
constexpr int ButtonGap = 4;
constexpr int LeastButtonGap = 2;
constexpr int LeastTop = 30;

} // namespace

SidePanel::SidePanel(QWidget *parent)
    : QWidget(parent)
{
    setFixedWidth(Width);
}

void SidePanel::setContents(QScrollArea *top, const QList<QPushButton *> &buttons)
{
    m_top = top;
    m_buttons = buttons;
    updateGeometry();
}

QSize SidePanel::sizeHint() const
{
    return {Width, 2 * Margin + naturalTop() + Gap + buttonsHeight(TallButton, ButtonGap)};
}

QSize SidePanel::minimumSizeHint() const
{
    return {Width, 2 * TightMargin + LeastTop + TightGap + buttonsHeight(shortButton(), LeastButtonGap)};
}

void SidePanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

int SidePanel::naturalTop() const
{
    return m_top ? m_top->widget()->sizeHint().height() : 0;
}

// Still a line of text with a little room round it.
int SidePanel::shortButton() const
{
    if (m_buttons.isEmpty())
        return 0;
    const QPushButton *first = m_buttons.first();
    return std::min({TallButton, first->sizeHint().height(), first->fontMetrics().height() + 6});
}

int SidePanel::buttonsHeight(int button, int gap) const
{
    const int count = int(m_buttons.size());
    return count == 0 ? 0 : count * button + (count - 1) * gap;
}

void SidePanel::place()
{
    if (!m_top)
        return;
    const int count = std::max(1, int(m_buttons.size()));
    const bool tight = height() < 2 * Margin + naturalTop() + Gap + buttonsHeight(shortButton(), LeastButtonGap);
    const int margin = tight ? TightMargin : Margin;
    const int gapBelowTop = tight ? TightGap : Gap;
    const int room = height() - 2 * margin - gapBelowTop;
    const int forButtons = std::max(room - naturalTop(), buttonsHeight(shortButton(), LeastButtonGap));
    const int button = std::clamp((forButtons - (count - 1) * ButtonGap) / count, shortButton(), TallButton);
    const int gap = count < 2 ? 0 : std::clamp((forButtons - count * button) / (count - 1), LeastButtonGap, ButtonGap);
    const int top = std::max(0, std::min(naturalTop(), room - buttonsHeight(button, gap)));
    m_top->setGeometry(Side, margin, width() - 2 * Side, top);
    int y = margin + top + gapBelowTop;
    for (QPushButton *each : m_buttons) {
        each->setGeometry(Side, y, width() - 2 * Side, button);
        y += button + gap;
    }
}

} // namespace vastrel
