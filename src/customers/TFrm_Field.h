#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

class QListWidget;
class TFrm_Data;
namespace Ui { class TFrm_Field; }

// Column chooser: switches the columns of a grid layout (rows of T_FieldShow) on and
// off by moving their titles between the hidden and the shown list. Only `show` is
// stored, by title; positions and widths stay as they are.
class TFrm_Field : public QDialog
{
    Q_OBJECT
public:
    TFrm_Field(TFrm_Data *data, const QString &layout, QWidget *parent = nullptr);
    ~TFrm_Field() override;

    QString layoutName() const { return m_layout; }
    QStringList hiddenTitles() const;
    QStringList shownTitles() const;

    void moveRight();
    void moveAllRight();
    void moveLeft();
    void moveAllLeft();
    // Writes `show` of every title and closes with "修改完成！".
    void store();

private:
    void load();
    void updateButtons();
    void moveSelected(QListWidget *from, QListWidget *to);
    void moveAll(QListWidget *from, QListWidget *to);

    std::unique_ptr<Ui::TFrm_Field> ui;
    TFrm_Data *m_data;
    QString m_layout;
};
