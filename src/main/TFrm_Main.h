#pragma once

#include "app/TFrm_Data.h"

#include <QMainWindow>
#include <array>

class QLabel;
class QMdiArea;
class QTimer;

// The frame window: child windows, commands, operator context and reminder timer.
class TFrm_Main : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int RightsSlots = 20;

    explicit TFrm_Main(QWidget *parent = nullptr);
    ~TFrm_Main() override;
    static TFrm_Main *instance();

    void setDataModule(TFrm_Data *data) { m_data = data; }
    TFrm_Data *data() const { return m_data; }

    // Reads the operator's rights rows in key order into the slots, then gates the commands.
    void LoadRights();
    bool right(int slot) const { return slot >= 1 && slot <= RightsSlots && Rights[size_t(slot - 1)]; }
    void setStatusPanel(int panel, const QString &text);
    QString statusPanel(int panel) const;

    // Operator context.
    QString OperatorName;
    int Permit = 0;
    std::array<bool, RightsSlots> Rights{};
    // Report fields read by the contact-variable callbacks.
    ReportContactOptions reportContact;

    QTimer *Timer1;
    QMdiArea *mdiArea() const { return m_mdi; }

private:
    TFrm_Data *m_data = nullptr;
    QMdiArea *m_mdi;
    std::array<QLabel *, 3> m_panels{};
};
