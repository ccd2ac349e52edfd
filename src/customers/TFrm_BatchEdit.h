#pragma once

#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TFrm_Custom;
class TFrm_Data;

// Batch category edit: gives the customers selected in the browser's grid one category.
// Each customer is updated by its own statement; the browser's list is not re-loaded.
class TFrm_BatchEdit : public QDialog
{
    Q_OBJECT
public:
    TFrm_BatchEdit(TFrm_Data *data, TFrm_Custom *browser, QWidget *parent = nullptr);
    ~TFrm_BatchEdit() override;

    // Writes the category into every selected customer ("批量修改成功" afterwards).
    void apply();

    QGroupBox *GroupBox1;
    QLabel *lbl, *Label1;
    QLineEdit *Edit_Category;
    QToolButton *Btn_Category;
    QPushButton *Btn_OK, *Btn_Exit;

private:
    void lookupCategory();
    QList<int> selectedRows() const;

    TFrm_Data *m_data;
    QPointer<TFrm_Custom> m_browser;
};
