#pragma once

#include <QComboBox>

// A pick list that says when it is about to drop down, so that its owner can fill it
// with current values only when the operator opens it.
class PopupCombo : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        emit aboutToPopup();
        QComboBox::showPopup();
    }

signals:
    void aboutToPopup();
};
