#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class TFrm_Data;

// E-mail address export: writes the customers' e-mail addresses, one per line, into
// Export/<name>.txt beside the executable (GBK text, CRLF line ends) and opens the file
// with the desktop's handler.
class TFrm_Email : public QDialog
{
    Q_OBJECT
public:
    enum Range { CurrentList = 0, AllCustomers = 1 };

    explicit TFrm_Email(TFrm_Data *data, QWidget *parent = nullptr);
    ~TFrm_Email() override;

    int range() const;
    void setRange(int range);
    // Where the export goes for a base name: <program dir>/Export/<trimmed name>.txt.
    static QString exportPath(const QString &baseName);
    // Runs the export for the chosen range; the dialog stays open.
    void start();

    QLabel *Label1;
    QLineEdit *Edit1;
    QGroupBox *RadioGroup1;
    QRadioButton *Radio_Current, *Radio_All;
    QProgressBar *ProgressBar1;
    QPushButton *Btn_start, *btn_exit;

private:
    TFrm_Data *m_data;
};
