#pragma once

#include <QDialog>

class Connection;
class Dataset;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class RightsGrid;
class TFrm_Data;

// The operator and role editor. The list window sets its state before showing it:
// an operator editor ("User") creates a new operator from a role, with the role's
// rights copied in slot order, or changes an existing one; a role editor ("Part")
// changes the rights of a role. Its statements run on the shared connection, so that
// creating an operator is one transaction with everything else written there.
class TFrm_UserRight : public QDialog
{
    Q_OBJECT
public:
    static inline const QString UserKind = QStringLiteral("User");
    static inline const QString PartKind = QStringLiteral("Part");
    // The role whose operators get Permit 1: they may change only their own records.
    static inline const QString OrdinaryRole = QStringLiteral("普通用户");
    // The operator whose rights cannot be changed here.
    static inline const QString ProtectedName = QStringLiteral("Admin");

    explicit TFrm_UserRight(TFrm_Data *data, QWidget *parent = nullptr);
    ~TFrm_UserRight() override;

    // Set before the editor is shown.
    QString EditorKind = UserKind;
    bool Creating = false;
    qint64 EditUserID = 0;
    qint64 EditPartID = 0;

    // The show steps: hides the pages that do not belong to the kind, fills the role
    // list and loads the operator or the role. Runs once, when the editor is first shown.
    void FormShow();
    // What the save button does for the editor's kind and state.
    void save();

    QTabWidget *PageControl1;
    QWidget *TS_User, *TS_UserAuth, *TS_Part, *TS_Authority;
    QLabel *Label_Name, *Label_Pass, *Label_User, *Label_Memo, *Label_Part, *Label_MemoPart;
    QLineEdit *Edit_Name, *Edit_Pass, *Edit_Part;
    QComboBox *Combo_User;
    QPlainTextEdit *Memo_User, *Memo_Part;
    RightsGrid *DBGridEh1, *DBGridEh2;
    QCheckBox *CB_User;
    QPushButton *Btn_OK, *Btn_Exit;

    // The editor's own queries on the shared connection.
    Dataset *Qry_User, *Qry_UserAuth, *Qry_Part, *Qry_PartAuth, *Qry_Temp;

signals:
    // An operator was created or changed: the operator list should be read again.
    void operatorsChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void saveNewOperator();
    void saveOperator();
    bool refuse(const QString &text, QWidget *input);
    static int permitFor(const QString &role);

    TFrm_Data *m_data;
    bool m_shown = false;
};
