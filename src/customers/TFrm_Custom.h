#pragma once

#include <QWidget>

class DataGrid;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TFrm_Data;
class TFrm_Main;

// The customer browser: category tree, quick search, the customer grid and four detail
// pages (contacts, schedules, bills, bill lines) that follow the current customer.
// Every grid is read-only; records change through the main window's commands.
class TFrm_Custom : public QWidget
{
    Q_OBJECT
public:
    enum class Target { Custom, Contact };

    explicit TFrm_Custom(TFrm_Main *mainWindow);
    ~TFrm_Custom() override;

    Target searchTarget() const { return m_target; }
    // Positions in Qry_Cust of the rows selected in the customer grid.
    QList<int> selectedRows() const;
    // Loads Qry_Cust with a statement and shows the count in the status line.
    void loadCustomers(const QString &sql);
    // The statement with the operator's narrowing when the view-all right is off.
    QString scoped(const QString &sql) const;
    void quickSearch();
    void categoryClicked(QTreeWidgetItem *item);
    void refreshTree();
    void refreshCustomers();
    void showCount();

    QTreeWidget *TreeView1;
    QLabel *Label1, *Label2;
    QComboBox *Combo_Type;
    QLineEdit *Edit_Key;
    QPushButton *Btn_S_Cust;
    QTabWidget *PageControl1, *PageControl2;
    DataGrid *Grid_Cust, *Grid_Contact, *Grid_Sch, *Grid_Sale, *Grid_Detail;
    QMenu *PopupMenu_Cust, *PopupMenu_Tree, *PopupMenu_Contact, *PopupMenu_Sch, *PopupMenu_Sale, *PopupMenu_Detail;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPages();
    void buildMenus();
    void openFirstList();
    void typeChosen(int index);
    void pageTurned(int index);
    QWidget *gridPage(DataGrid *grid, const QStringList &commands);
    void bindGridKeys();

    TFrm_Main *m_main;
    TFrm_Data *m_data;
    Target m_target = Target::Custom;
};
