#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class Dataset;
class QTreeWidgetItem;
class Session;
class TFrm_Data;
namespace Ui { class TFrm_SelectGoods; }

// The goods picker: a goods list of its own with a search that runs while typing and a
// category tree. For a bill (mode 1) each choice becomes a new cached line of the bill
// and leaves the picker's list; for the sales analysis (mode 2) the chosen code is
// handed back and the picker closes. The picker never writes to the goods register.
class TFrm_SelectGoods : public QDialog
{
    Q_OBJECT
public:
    enum Mode { ForBill = 1, ForAnalysis = 2 };

    explicit TFrm_SelectGoods(Session *session, QWidget *parent = nullptr);
    ~TFrm_SelectGoods() override;

    // Mode 1: the bill's line cache and the bill number as it reads when a goods is chosen.
    void setBill(Dataset *lines, std::function<QString()> billNumber);
    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }
    // Mode 2: the code chosen (empty when the list was empty).
    QString chosenCode() const { return m_chosenCode; }
    Dataset *goods() const { return m_goods.get(); }

    // Runs the search of the three inputs now (typing runs it once typing pauses).
    void search();
    // Tree double click: a category's goods, or every goods for the root.
    void showNode(QTreeWidgetItem *node);
    void choose(); // Btn_Select, grid double click

protected:
    void done(int result) override;

private:
    void reloaded(const QString &layout);

    std::unique_ptr<Ui::TFrm_SelectGoods> ui;
    Session *m_session;
    TFrm_Data *m_data;
    std::unique_ptr<Dataset> m_goods; // Qry_Goods of the picker
    Mode m_mode = ForBill;
    Dataset *m_lines = nullptr;
    std::function<QString()> m_billNumber;
    QString m_chosenCode;
    QTimer m_typingPause;
    bool m_saved = false;
};
