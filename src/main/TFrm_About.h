#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about window: product name, version, one line on what the program does, OK.
class TFrm_About : public QDialog
{
    Q_OBJECT
public:
    TFrm_About(const QString &productName, const QString &version, QWidget *parent = nullptr);

    QLabel *Image1, *Lbl_Product, *Lbl_Version, *Lbl_Description;
    QPushButton *Btn_OK;
};
