#pragma once

#include <QWidget>
#include <functional>

class DataGrid;
class Dataset;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class Session;
class TFrm_Data;

// The customer browser: category tree, quick search, the customer grid and four detail
// pages (contacts, schedules, bills, bill lines) that follow the current customer.
// Every grid is read-only; records change through the commands of the session. Every
// list is loaded through the query layer in the operator's scope (Session::scope()).
class TFrm_Custom : public QWidget
{
    Q_OBJECT
public:
    enum class Target { Custom, Contact };

    explicit TFrm_Custom(Session *session);
    ~TFrm_Custom() override;

    Target searchTarget() const { return m_target; }
    // Positions in Qry_Cust of the rows selected in the customer grid.
    QList<int> selectedRows() const;
    // Loads Qry_Cust with a query function of the query layer and shows the count in the
    // status line.
    void loadCustomers(const std::function<void(Dataset &)> &load);
    // The "Custom" column layout on the customer grid, "Contact" on the contact grid.
    void applyCustomerColumns();
    void applyContactColumns();
    void quickSearch();
    void categoryClicked(QTreeWidgetItem *item);
    void refreshTree();
    void refreshCustomers();
    // Re-runs the customer list with its statement and selects again the customers that
    // were selected, the current one current: after a change written past the list.
    void reloadCustomers();
    void showCount();
    // The schedule page shows the current customer's schedules: when another window (the
    // schedule list) has put its own statement into the shared schedule list, the
    // browser's statement is set again, linked to the customer list. Runs whenever the
    // browser comes to the front, and before its schedule page is refreshed.
    void followCurrentCustomer();
    // Inside the frame: the browser becomes the front child window (restored when
    // minimised), so a list loaded into it from elsewhere is seen.
    void bringToFront();

protected:
    bool event(QEvent *event) override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DataGrid *Grid_Cust;
    void buildPages();
    void frameActivated();
    void buildMenus();
    void openFirstList();
    void typeChosen(int index);
    void pageTurned(int index);
    QWidget *gridPage(DataGrid *grid, const QStringList &commands);
    void bindGridKeys();

    QTreeWidget *TreeView1;
    QLabel *Label1, *Label2;
    QComboBox *Combo_Type;
    QLineEdit *Edit_Key;
    QPushButton *Btn_S_Cust;
    QTabWidget *PageControl1, *PageControl2;
    DataGrid *Grid_Contact, *Grid_Sch, *Grid_Sale, *Grid_Detail;
    QMenu *PopupMenu_Cust, *PopupMenu_Tree, *PopupMenu_Contact, *PopupMenu_Sch, *PopupMenu_Sale, *PopupMenu_Detail;

    Session *m_session;
    TFrm_Data *m_data;
    Target m_target = Target::Custom;
    QString m_scheduleSql; // the schedule page's statement, as the browser set it
};
