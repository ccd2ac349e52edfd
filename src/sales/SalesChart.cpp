#include "SalesChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHorizontalBarSeries>
#include <QPainter>
#include <QValueAxis>

namespace {

QChart *barChart(const QString &title, const SalesSummary::Amounts &amounts, bool horizontal)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *set = new QBarSet(QStringLiteral("金额"));
    QStringList labels;
    // Horizontal bars are drawn bottom up: the largest goes last so it stands on top.
    SalesSummary::Amounts ordered = amounts;
    if (horizontal)
        std::reverse(ordered.begin(), ordered.end());
    for (const auto &[label, amount] : std::as_const(ordered)) {
        labels.append(label.isEmpty() ? QStringLiteral("(空)") : label);
        *set << amount;
    }
    set->setLabelColor(Qt::black);
    QAbstractBarSeries *series = horizontal ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries)
                                            : static_cast<QAbstractBarSeries *>(new QBarSeries);
    series->append(set);
    series->setLabelsVisible(amounts.size() <= 12);
    series->setLabelsFormat(QStringLiteral("@value"));
    chart->addSeries(series);
    auto *categories = new QBarCategoryAxis;
    categories->append(labels);
    auto *values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.0f"));
    values->setMin(0);
    chart->addAxis(categories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categories);
    series->attachAxis(values);
    values->applyNiceNumbers();
    if (amounts.isEmpty())
        chart->setTitle(title + QStringLiteral("（无数据）"));
    return chart;
}

QChartView *chartView(const QString &name, QWidget *parent)
{
    auto *view = new QChartView(parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(280, 220);
    return view;
}

} // namespace

SalesChart::SalesChart(QWidget *parent) : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_months = chartView(QStringLiteral("Chart_Months"), this);
    m_customers = chartView(QStringLiteral("Chart_Customers"), this);
    m_goods = chartView(QStringLiteral("Chart_Goods"), this);
    grid->addWidget(m_months, 0, 0, 1, 2);
    grid->addWidget(m_customers, 1, 0);
    grid->addWidget(m_goods, 1, 1);
    setSummary(SalesSummary{});
}

void SalesChart::setSummary(const SalesSummary &summary)
{
    m_summary = summary;
    const auto replace = [](QChartView *view, QChart *chart) {
        QChart *old = view->chart();
        view->setChart(chart);
        delete old;
    };
    replace(m_months, barChart(QStringLiteral("每月销售金额"), summary.months, false));
    replace(m_customers, barChart(QStringLiteral("销售金额前十位客户"), summary.customers, true));
    replace(m_goods, barChart(QStringLiteral("销售金额前十位商品"), summary.goods, true));
}

QImage SalesChart::picture(const QSize &size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const int half = size.height() / 2;
    m_months->render(&painter, QRectF(0, 0, size.width(), half));
    m_customers->render(&painter, QRectF(0, half, size.width() / 2.0, size.height() - half));
    m_goods->render(&painter, QRectF(size.width() / 2.0, half, size.width() / 2.0, size.height() - half));
    return image;
}
