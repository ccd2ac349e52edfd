#pragma once

#include <QDialog>
#include <memory>

class Connection;
class Dataset;
class QAction;
class QLabel;
class QLineEdit;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TFrm_Data;

// Category window: edits a category table (Cust_Category or Goods_Category) as a tree
// and, opened as a picker, hands the chosen category to its opener.
class TFrm_Tree : public QDialog
{
    Q_OBJECT
public:
    enum SelectModes { ManageOnly = 0, CustomerEditor = 1, CustomerSearch = 2, GoodsEditor = 3, BatchEdit = 4 };

    explicit TFrm_Tree(TFrm_Data *data, QWidget *parent = nullptr);
    ~TFrm_Tree() override;

    // Set by the opener before the window is shown.
    QString CategoryTable = QStringLiteral("Cust_Category");
    QString RootCaption;
    int SelectMode = ManageOnly;
    // The category the opener holds (a code): the window opens on it. Empty: on the root.
    QString CurrentCode;

    // What a picker hands back: set by Select before the window closes.
    bool Selected = false;
    QString SelectedCode; // trimmed code; empty for the root
    QString SelectedName;

    QTreeWidget *TreeView1;
    QLabel *Label1, *Label2;
    QLineEdit *Edit_Code, *Edit_Name;
    QToolBar *ToolBar1;
    QAction *TB_Add, *N1, *N2, *TB_Edit, *TB_Del, *TB_Save, *TB_Cancel, *TB_Select, *TB_Refresh, *TB_Close;

    bool addMode() const { return AddMode; }
    bool addChild() const { return AddChild; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void nodeClicked(QTreeWidgetItem *item);
    void showCurrentCategory();
    void startAdding(bool child);
    void startRenaming();
    void save();
    void saveNew();
    void saveName();
    void deleteNode();
    void cancel();
    void select();
    void refresh();
    void setEditing(bool editing);
    QTreeWidgetItem *nodeForCode(const QString &code) const;

    TFrm_Data *m_data;
    std::unique_ptr<Connection> m_connection;
    Dataset *Qry_repeat, *Qry, *Qry_Hy;
    bool AddMode = false;
    bool AddChild = false;
    bool m_shown = false;
};
