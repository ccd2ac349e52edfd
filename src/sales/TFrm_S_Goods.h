#pragma once

#include <QDialog>
#include <memory>

class Session;
namespace Ui { class TFrm_S_Goods; }

// The goods search: finds goods by parts of their code, name and 规格 (GoodsUnit) and
// puts them into the shared goods query that the goods list shows. It closes accepted
// once the list holds the result.
class TFrm_S_Goods : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_S_Goods(Session *session, QWidget *parent = nullptr);
    ~TFrm_S_Goods() override;

    void search(); // Btn_OK

private:
    std::unique_ptr<Ui::TFrm_S_Goods> ui;
    Session *m_session;
};
