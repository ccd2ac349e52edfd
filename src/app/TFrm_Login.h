#pragma once

#include <QDialog>
#include <functional>
#include <memory>

class Session;
class TFrm_Data;
namespace Ui { class TFrm_Login; }

// Asks for an operator and a password; on success hands the operator to the program's
// operator context. Serves both the start of the program and a relogin.
class TFrm_Login : public QDialog
{
    Q_OBJECT
public:
    // Fills the program's operator context (name, permit, rights, status bar, timer) for
    // the operator who logged in, or throws and leaves the context as it was.
    using SetOperator = std::function<void(const QString &operatorName, int permit)>;

    // Shown over the session's dialog parent unless a parent is given.
    TFrm_Login(Session *session, SetOperator setOperator, QWidget *parent = nullptr);

    // For an opener holding the main window itself: its setOperator() fills the context.
    // The data module is the session's own; the parameter stays for openers that pass it.
    template <class MainWindow>
    TFrm_Login(MainWindow *mainWindow, TFrm_Data * /*data*/, QWidget *parent = nullptr)
        : TFrm_Login(static_cast<Session *>(mainWindow),
                     [mainWindow](const QString &operatorName, int permit) {
                         mainWindow->setOperator(operatorName, permit);
                     },
                     parent)
    {
    }

    ~TFrm_Login() override;

    // Set when the login succeeded; read by the start-up sequence.
    bool LoginOK = false;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillUsers();
    void pressOK();
    void tryLogin();
    void askForPassword(const QString &name);
    void storeHash(qint64 userId, const QString &password);

    std::unique_ptr<Ui::TFrm_Login> ui;
    Session *m_session;
    SetOperator m_setOperator;
};
