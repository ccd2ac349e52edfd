#pragma once

#include <QDialog>
#include <memory>

class Connection;
class Dataset;
class QMenu;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_UserList; }

// The operator and role list: operators on one page, roles on the other, with the
// buttons that open the editor for a new operator, for the selected operator or role,
// and delete the selected operator. The lists are read over a connection of the
// window's own on the same file; creating and deleting write on the shared connection.
class TFrm_UserList : public QDialog
{
    Q_OBJECT
public:
    // Shown over the session's dialog parent unless a parent is given.
    explicit TFrm_UserList(Session *session, QWidget *parent = nullptr);
    ~TFrm_UserList() override;

    // Reads the operators (UserID, UserName, Remark; the icon tells enabled or disabled).
    void ReloadUsers();
    // Reads the roles (PartID, PartName, Remark).
    void ReloadRoles();
    // The buttons' work, also reachable without clicking.
    void addOperator();
    void editSelected();
    void deleteSelected();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void pageChanged();
    void openEditor(const QString &kind, bool creating, qint64 userId, qint64 partId);
    bool onUserPage() const;

    std::unique_ptr<Ui::TFrm_UserList> ui;
    QMenu *PopupMenu1; // the operator list's context menu
    Session *m_session;
    TFrm_Data *m_data;
    std::unique_ptr<Connection> m_connection;
    Dataset *Qry_User, *Qry_Part; // on the window's own connection
    bool m_shown = false;
};
