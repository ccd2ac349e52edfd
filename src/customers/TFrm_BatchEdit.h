#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

class TFrm_Custom;
class TFrm_Data;
namespace Ui { class TFrm_BatchEdit; }

// Batch category edit: gives the customers selected in the browser's grid one category.
// Each customer is updated by its own statement, found by its code as stored; the
// browser's list is not re-loaded.
class TFrm_BatchEdit : public QDialog
{
    Q_OBJECT
public:
    TFrm_BatchEdit(TFrm_Data *data, TFrm_Custom *browser, QWidget *parent = nullptr);
    ~TFrm_BatchEdit() override;

    // Writes the category into every selected customer ("批量修改成功" afterwards).
    void apply();

private:
    void lookupCategory();
    QList<int> selectedRows() const;

    std::unique_ptr<Ui::TFrm_BatchEdit> ui;
    TFrm_Data *m_data;
    QPointer<TFrm_Custom> m_browser;
};
