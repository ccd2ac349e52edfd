#pragma once

#include <QDialog>
#include <memory>

class Session;
namespace Ui { class TFrm_ClearData; }

// Data clearing ("数据初始化"): the offered actions of Dict_ClearData as a check list, all
// ticked at first; Clear asks, then runs the ticked actions' statements in one
// transaction, in the order of the list, and reports success or failure. The window
// stays open after either.
class TFrm_ClearData : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_ClearData(Session *session, QWidget *parent = nullptr);
    ~TFrm_ClearData() override;

    // Clear's work: true when the ticked actions ran.
    bool clear();

private:
    std::unique_ptr<Ui::TFrm_ClearData> ui;
    Session *m_session;
};
