#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

class QMenu;
class QTreeWidgetItem;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_Goods; }

// The goods list: the shared goods query Qry_Goods in a grid beside the goods category
// tree. A category lists its goods and those of all its sub-categories; the last
// category chosen below the root is remembered for the goods editor's preset.
class TFrm_Goods : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Goods(Session *session, QWidget *parent = nullptr);
    ~TFrm_Goods() override;

    // The category last chosen below the root in the goods list that is open now;
    // empty when none is open or no such category was chosen.
    static QString rememberedCategory();

    // Tree click: a category lists its goods, the root every goods.
    void showNode(QTreeWidgetItem *node);
    // "刷新": fills the tree again and selects the root; the grid keeps its rows.
    void refreshTree();
    // Puts "当前共有 N 条商品记录" into the status bar and lays the grid out as "Goods".
    void listReloaded();

protected:
    void done(int result) override;

private:
    void search();
    void print();
    void exportToSpreadsheet();

    std::unique_ptr<Ui::TFrm_Goods> ui;
    Session *m_session;
    TFrm_Data *m_data;
    QMenu *m_treeMenu;  // PopupMenu1
    QMenu *m_gridMenu;  // PopupMenu2
    QString m_category; // remembered category code
    bool m_saved = false;

    static QPointer<TFrm_Goods> s_open;
};
