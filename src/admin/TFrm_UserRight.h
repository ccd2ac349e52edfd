#pragma once

#include "ui/RecordEditor.h"

#include <memory>

class Dataset;
class QWidget;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_UserRight; }

// The operator and role editor. The list window sets its state before showing it:
// an operator editor ("User") creates a new operator from a role (add mode), with the
// role's rights copied in slot order, or changes an existing one (edit mode); a role
// editor ("Part") changes the rights of a role. Its statements run on the shared
// connection, so that creating an operator is one transaction with everything else
// written there.
class TFrm_UserRight : public RecordEditor
{
    Q_OBJECT
public:
    static inline const QString UserKind = QStringLiteral("User");
    static inline const QString PartKind = QStringLiteral("Part");
    // The role whose operators get Permit 1: they may change only their own records.
    static inline const QString OrdinaryRole = QStringLiteral("普通用户");
    // The operator whose rights cannot be changed here.
    static inline const QString ProtectedName = QStringLiteral("Admin");

    // Shown over the session's dialog parent unless a parent is given.
    explicit TFrm_UserRight(Session *session, QWidget *parent = nullptr);
    ~TFrm_UserRight() override;

    // Set before the editor is shown, with the mode (add: a new operator).
    QString EditorKind = UserKind;
    qint64 EditUserID = 0;
    qint64 EditPartID = 0;

    // What the save button does for the editor's kind and mode.
    void save();

signals:
    // An operator was created or changed: the operator list should be read again.
    void operatorsChanged();

protected:
    // Hides the pages that do not belong to the kind, fills the role list and loads the
    // operator or the role.
    void showSteps() override;

private:
    void saveNewOperator();
    void saveOperator();
    void refuse(const QString &text, QWidget *input);
    // Shows why the role cannot be given and returns true: none given, or no such role.
    bool roleRefused(const QString &role);
    static int permitFor(const QString &role);

    std::unique_ptr<Ui::TFrm_UserRight> ui;
    Session *m_session;
    TFrm_Data *m_data;
    // The editor's own queries on the shared connection.
    Dataset *Qry_User, *Qry_UserAuth, *Qry_Part, *Qry_PartAuth;
};
