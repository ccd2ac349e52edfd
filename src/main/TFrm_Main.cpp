#include "TFrm_Main.h"
#include "store/SqlText.h"

#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <QTimer>

namespace {
TFrm_Main *current = nullptr;
}

TFrm_Main::TFrm_Main(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Frm_Main"));
    current = this;
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(m_mdi);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(bar);
    const int widths[] = {150, 250, 50};
    for (int i = 0; i < 3; ++i) {
        m_panels[size_t(i)] = new QLabel(bar);
        m_panels[size_t(i)]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[size_t(i)]->setMinimumWidth(widths[i]);
        bar->addWidget(m_panels[size_t(i)], i == 2 ? 1 : 0);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
}

TFrm_Main::~TFrm_Main()
{
    if (current == this)
        current = nullptr;
}

TFrm_Main *TFrm_Main::instance()
{
    return current;
}

void TFrm_Main::setStatusPanel(int panel, const QString &text)
{
    m_panels.at(size_t(panel))->setText(text);
}

QString TFrm_Main::statusPanel(int panel) const
{
    return m_panels.at(size_t(panel))->text();
}

void TFrm_Main::LoadRights()
{
    Dataset *query = m_data->Qry_Temp;
    TFrm_Data::RunQuery(query, QStringLiteral("select * from T_UserAuthority where UserName=")
                                   + SqlText::quoted(OperatorName) + QStringLiteral(" order by UserAuthorityID"));
    const int authority = query->checkedFieldIndex(QStringLiteral("Authority"));
    // Slots after the last row keep the value they had.
    for (int row = 0; row < query->recordCount() && row < RightsSlots; ++row)
        Rights[size_t(row)] = query->value(row, authority).toBool();
}
