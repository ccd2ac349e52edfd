#pragma once

#include <QLabel>

// Borderless picture shown while the program starts; a click on it closes it.
class TFrm_Splash : public QLabel
{
    Q_OBJECT
public:
    explicit TFrm_Splash(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
