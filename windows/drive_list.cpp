#include "windows/drive_list.h"

#include "operations/drives.h"
#include "windows/whole_line_tips.h"

#include <QDir>
#include <QFileDialog>

namespace vastrel {

namespace {
const int RootRole = Qt::UserRole;
}

DriveList::DriveList(QWidget *parent)
    : FittingComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    fill();
    setItemDelegate(new WholeLineTips(this));
    setCurrentText(QStringLiteral("адрес флешки"));
    connect(this, &QComboBox::activated, this, &DriveList::picked);
}

void DriveList::fill()
{
    for (const DriveChoice &medium : driveChoices())
        addItem(medium.label, medium.root);
#ifndef Q_OS_WIN
    addItem(otherFolderItem());
#endif
}

void DriveList::showPopup()
{
    // A flash drive put in after the window opened is offered too.
    const QString text = currentText();
    clear();
    fill();
    setCurrentIndex(findText(text, Qt::MatchExactly));
    setEditText(text);
    FittingComboBox::showPopup();
}

QString DriveList::otherFolderItem()
{
    return QStringLiteral("другая папка…");
}

QString DriveList::designation() const
{
    const int item = findText(currentText(), Qt::MatchExactly);
    const QString root = item >= 0 ? itemData(item, RootRole).toString() : QString();
    return root.isEmpty() ? currentText() : root;
}

void DriveList::picked(int index)
{
    if (itemText(index) != otherFolderItem())
        return;
    const QString folder =
        m_pickFolder ? m_pickFolder()
                     : QFileDialog::getExistingDirectory(this, QStringLiteral("Папка носителя"), QDir::homePath());
    // Cancelled: the list's text goes back to the untouched one, not to the item.
    setCurrentIndex(-1);
    setEditText(folder.isEmpty() ? QStringLiteral("адрес флешки") : QDir::toNativeSeparators(folder));
    setFocus();
}

} // namespace vastrel
