#include "TFrm_About.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFrm_About::TFrm_About(const QString &productName, const QString &version, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_About"));
    setWindowTitle(QStringLiteral("关于我们"));
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignTop);

    Lbl_Product = new QLabel(productName, this);
    Lbl_Product->setObjectName(QStringLiteral("Lbl_Product"));
    QFont big = Lbl_Product->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    Lbl_Product->setFont(big);
    Lbl_Version = new QLabel(QStringLiteral("版本：") + version, this);
    Lbl_Version->setObjectName(QStringLiteral("Lbl_Version"));
    Lbl_Description = new QLabel(
        QStringLiteral("管理客户与联系人、联系活动与提醒、工作日志、商品与销售单据，并打印信封、标签和客户资料。"), this);
    Lbl_Description->setObjectName(QStringLiteral("Lbl_Description"));
    Lbl_Description->setWordWrap(true);
    Lbl_Description->setMinimumWidth(300);

    Btn_OK = new QPushButton(QStringLiteral("确定"), this);
    Btn_OK->setObjectName(QStringLiteral("Btn_OK"));
    Btn_OK->setDefault(true);
    connect(Btn_OK, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(Lbl_Product);
    texts->addWidget(Lbl_Version);
    texts->addWidget(Lbl_Description);
    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(Image1);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_OK);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(16);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
