#include "SearchInputs.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

CheckedDateEdit::CheckedDateEdit(QWidget *parent) : QWidget(parent)
{
    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("Check"));
    m_date = new QDateEdit(QDate::currentDate(), this);
    m_date->setObjectName(QStringLiteral("Date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setEnabled(false);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_check);
    layout->addWidget(m_date, 1);
    setFocusProxy(m_check);
    connect(m_check, &QCheckBox::toggled, m_date, &QWidget::setEnabled);
}

bool CheckedDateEdit::isChecked() const { return m_check->isChecked(); }
void CheckedDateEdit::setChecked(bool checked) { m_check->setChecked(checked); }
QDate CheckedDateEdit::date() const { return m_date->date(); }
void CheckedDateEdit::setDate(const QDate &date) { m_date->setDate(date); }

void RefilledComboBox::showPopup()
{
    if (!m_refill || m_refill())
        QComboBox::showPopup();
}
