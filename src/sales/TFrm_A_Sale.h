#pragma once

#include <QWidget>
#include <memory>

class SalesChart;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_A_Sale; }

// The sales analysis: sold bill lines of a date range, narrowed to one operator, one
// customer and one goods code when given, in a grid with sums, sort marks, printing and
// export, and as charts of the same rows. It shows its rows in the data module's
// Qry_Count.
class TFrm_A_Sale : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_A_Sale(Session *session);
    ~TFrm_A_Sale() override;

    void showSales();      // BitBtn1 "显示"
    void fillCustomers();  // the customer list, when it drops down
    void chooseGoods();    // the goods code button: the goods picker

    SalesChart *chart() const { return m_chart; }


private:
    void print();
    void exportToSpreadsheet();
    void printChart();
    void saveChart();

    std::unique_ptr<Ui::TFrm_A_Sale> ui;
    Session *m_session;
    TFrm_Data *m_data;
    SalesChart *m_chart;
};
