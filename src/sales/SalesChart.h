#pragma once

#include "SalesSummary.h"

#include <QWidget>

class QChartView;

// Three charts of the sales shown: the amount per month, and the ten largest customers
// and goods by amount.
class SalesChart : public QWidget
{
    Q_OBJECT
public:
    explicit SalesChart(QWidget *parent = nullptr);

    void setSummary(const SalesSummary &summary);
    const SalesSummary &summary() const { return m_summary; }
    // The three charts drawn side by side at the given size, for printing and pictures.
    QImage picture(const QSize &size) const;

private:
    SalesSummary m_summary;
    QChartView *m_months, *m_customers, *m_goods;
};
