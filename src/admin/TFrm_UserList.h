#pragma once

#include <QDialog>
#include <memory>

class Connection;
class Dataset;
class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TFrm_Data;

// The operator and role list: operators on one page, roles on the other, with the
// buttons that open the editor for a new operator, for the selected operator or role,
// and delete the selected operator. The lists are read over a connection of the
// window's own on the same file; creating and deleting write on the shared connection.
class TFrm_UserList : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_UserList(TFrm_Data *data, QWidget *parent = nullptr);
    ~TFrm_UserList() override;

    // Reads the operators (UserID, UserName, Remark; the icon tells enabled or disabled).
    void ReloadUsers();
    // Reads the roles (PartID, PartName, Remark).
    void ReloadRoles();
    // The buttons' work, also reachable without clicking.
    void addOperator();
    void editSelected();
    void deleteSelected();

    QTabWidget *PageControl1;
    QWidget *TS_User, *TS_Part;
    QTreeWidget *ListView1, *ListView2;
    QMenu *PopupMenu1;
    QAction *N_Refresh;
    QPushButton *Btn_Add, *Btn_Edit, *Btn_Del, *Btn_Exit;
    Dataset *Qry_User, *Qry_Part; // on the window's own connection
    Dataset *Qry_Del;             // on the shared connection

protected:
    void showEvent(QShowEvent *event) override;

private:
    void pageChanged();
    void openEditor(const QString &kind, bool creating, qint64 userId, qint64 partId);
    static QTreeWidget *makeList(QWidget *page, const char *name, const QStringList &titles);

    TFrm_Data *m_data;
    std::unique_ptr<Connection> m_connection;
    bool m_shown = false;
};
