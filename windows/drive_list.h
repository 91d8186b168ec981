#pragma once

#include "windows/fitting_combo_box.h"

#include <functional>

namespace vastrel {

// The drive list of the operations window: an editable drop-down whose text is
// "адрес флешки" until the user picks or types something. It offers the media
// the system has (letters on Windows; elsewhere the mounted removable media by
// name and mount point, and "другая папка…", which asks for a folder).
class DriveList : public FittingComboBox
{
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    static QString otherFolderItem();

    // What the copy and the intake take the medium from: a picked medium's
    // root, or the text as the user typed it.
    QString designation() const;

    // Asks for the folder of "другая папка…"; a folder dialog unless replaced (tests).
    void setFolderPicker(std::function<QString()> picker) { m_pickFolder = std::move(picker); }

    void showPopup() override;

private:
    void fill();
    void picked(int index);

    std::function<QString()> m_pickFolder;
};

} // namespace vastrel
