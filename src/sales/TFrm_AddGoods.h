#pragma once

#include "ui/RecordEditor.h"

#include <QString>
#include <memory>
#include <optional>

class QAction;
class QLineEdit;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_AddGoods; }

// The goods editor: adds goods to the shared goods query Qry_Goods (any number in a
// row, preset with the goods list's category) or changes its current row. Codes stay
// unique, and a changed code is carried into the bill lines that use it.
class TFrm_AddGoods : public RecordEditor
{
    Q_OBJECT
public:
    explicit TFrm_AddGoods(Session *session, QWidget *parent = nullptr);
    ~TFrm_AddGoods() override;

    void save(); // Btn_OK

protected:
    void showSteps() override;
    void loadRecord() override;

private:
    struct Prices { double in = 0, sale = 0, cost = 0; };
    void chooseCategory();
    void clearInputs();
    // The three prices, or none after telling which input holds no number.
    std::optional<Prices> readPrices();
    void writeRow(const Prices &prices);
    void writeValues(const Prices &prices);
    bool refuseDuplicate(const QString &code, const QString &message);
    void addGoods(const Prices &prices);
    void changeGoods(const Prices &prices);

    std::unique_ptr<Ui::TFrm_AddGoods> ui;
    QAction *m_categoryButton;
    Session *m_session;
    TFrm_Data *m_data;
    QString m_categoryCode; // saved into Category
    QString m_oldCode;      // the code as loaded (edit mode)
};
