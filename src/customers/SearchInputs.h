#pragma once

#include <QComboBox>
#include <QDate>
#include <QWidget>
#include <functional>

class QCheckBox;
class QDateEdit;

// A date input with a tick box: the date counts only while the box is ticked. Its parts
// are named "Check" and "Date".
class CheckedDateEdit : public QWidget
{
    Q_OBJECT
public:
    explicit CheckedDateEdit(QWidget *parent = nullptr);
    bool isChecked() const;
    void setChecked(bool checked);
    QDate date() const;
    void setDate(const QDate &date);
    QCheckBox *checkBox() const { return m_check; }
    QDateEdit *dateEdit() const { return m_date; }

private:
    QCheckBox *m_check;
    QDateEdit *m_date;
};

// A pick list whose items are read afresh each time it drops down, so entries added
// while its window is open are offered too. The list drops down only when the refill
// succeeds.
class RefilledComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit RefilledComboBox(QWidget *parent = nullptr) : QComboBox(parent) {}
    // Fills the list; returns false when it could not (the failure already reported).
    void setRefill(std::function<bool()> refill) { m_refill = std::move(refill); }
    void showPopup() override;

private:
    std::function<bool()> m_refill;
};
