#pragma once

#include <QComboBox>

namespace vastrel {

// A drop-down list whose popup never leaves the screen's available area: it
// is as wide as its longest line where the screen has room and narrower
// (lines elided, whole in their tooltip) where it has not, and it is moved
// back inside when it would hang over an edge or the taskbar.
class FittingComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override;
};

} // namespace vastrel
