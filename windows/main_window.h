#pragma once

#include "domain/messages.h"
#include "domain/outcome.h"
#include "store/workspace.h"
#include "windows/state/estimate_window.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vastrel {

class DocumentDelivery;

// The main window "Вастрель - Тавер": the entry area of one estimate, the
// estimate selector and the buttons that open every other window.
class MainWindow : public QDialog
{
    Q_OBJECT
public:
    MainWindow(const Workspace &workspace, MessageService &messages, DocumentDelivery &delivery,
               QWidget *parent = nullptr);

    // The controls as plain values, and back.
    EstimateWindow readWindow() const;
    void writeWindow(const EstimateWindow &window);

    // Heading, legal status and estimate selector from the files.
    void activate();

    static QString leaveUnsavedQuestion();
    static QString showUnsavedQuestion(const QString &name);
    static QString clearUnsavedQuestion();

    // Sizes and places the window to fit the given part of a screen: its own
    // size where there is room, less (with scrolling) where there is not.
    void fitInto(const QRect &available);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildEntryArea();
    QWidget *buildSidePanel();
    // A search field beside the estimate selector, for a large base.
    QWidget *buildSelectorSearch(QWidget *parent);
    QLabel *addPanel(QWidget *parent, const QString &name, const QString &caption, const QSize &size);
    QLineEdit *addField(QWidget *parent, const QString &name);
    void setTotalsColour(TotalsColour colour);
    void setSelector(const QStringList &lines, int selected);
    // Everything but the selector.
    EstimateWindow readEntries() const;
    void writeEntries(const EstimateWindow &window);
    void setStatus(int item);

    // Runs a logic function on the window's values and shows the result,
    // also when it stopped on an error.
    void onWindow(const std::function<Outcome(EstimateWindow &)> &action);
    template<class Dialog>
    void openDialog();

    void calculate(); // Button1
    // The entry field a failure names; none for another field.
    QLineEdit *entryField(const Field &field) const;
    void clearEntries();    // Button8
    void save();            // Button2
    void showEstimate();    // Button4
    void exportBreakdown(); // Button9
    void quit();            // Button3
    void openHelp();        // Button5

    const Workspace &m_workspace;
    MessageService &m_messages;
    DocumentDelivery &m_delivery;
    bool m_activatedOnce = false;
    TotalsColour m_totalsColour = TotalsColour::WindowText;
    bool m_changedAfterCalculation = false;
    // Amounts typed since the last save, show or clear.
    bool m_amountsUnsaved = false;
    QString m_shownEstimate;

    QLabel *m_heading;
    QComboBox *m_selector;
    QLineEdit *m_remainder;
    QComboBox *m_incomeCode;
    QLineEdit *m_income;
    QLabel *m_incomeTotal;
    QLabel *m_expenseTotal;
    std::array<QLineEdit *, ExpenseLineCount> m_expenses{};
    QListWidget *m_sources;
    QButtonGroup *m_status;
};

} // namespace vastrel
