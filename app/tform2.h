#pragma once

#include "base/messages.h"
#include "base/workspace.h"
#include "editing/estimate_window.h"

#include <QDialog>

#include <array>
#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The main window "Вастрель - Тавер": the entry area of one estimate, the
// estimate selector and the buttons that open every other window.
class TForm2 : public QDialog
{
    Q_OBJECT
public:
    TForm2(const vastrel::Workspace &workspace, vastrel::MessageService &messages, QWidget *parent = nullptr);

    // The controls as plain values, and back.
    vastrel::EstimateWindow readWindow() const;
    void writeWindow(const vastrel::EstimateWindow &window);

    // Heading, legal status and estimate selector from the files.
    void activate();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildEntryArea();
    void buildSidePanel();
    QLabel *addPanel(QWidget *parent, const QString &name, const QString &caption, const QRect &geometry);
    QLineEdit *addField(const QString &name, const QRect &geometry);
    void setTotalsColour(vastrel::TotalsColour colour);
    void setSelector(const QStringList &lines, int selected);
    // Everything but the selector.
    vastrel::EstimateWindow readEntries() const;
    void writeEntries(const vastrel::EstimateWindow &window);
    void setStatus(int item);

    // Runs a logic function on the window's values and shows the result,
    // also when it stopped on an error.
    void onWindow(const std::function<bool(vastrel::EstimateWindow &)> &action);
    template<class Dialog>
    void openDialog();

    void calculate();        // Button1
    void clearEntries();     // Button8
    void save();             // Button2
    void showEstimate();     // Button4
    void exportBreakdown();  // Button9
    void quit();             // Button3
    void openHelp();         // Button5

    const vastrel::Workspace &m_workspace;
    vastrel::MessageService &m_messages;
    bool m_activatedOnce = false;
    vastrel::TotalsColour m_totalsColour = vastrel::TotalsColour::WindowText;

    QLabel *m_heading;
    QComboBox *m_selector;
    QLineEdit *m_remainder;
    QComboBox *m_incomeCode;
    QLineEdit *m_income;
    QLabel *m_incomeTotal;
    QLabel *m_expenseTotal;
    std::array<QLineEdit *, vastrel::ExpenseLineCount> m_expenses{};
    QListWidget *m_sources;
    QButtonGroup *m_status;
};
