#include "TFrm_Email.h"
#include "data/TFrm_Data.h"
#include "store/Gbk.h"
#include "store/ProgramDir.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QStyle>
#include <QVBoxLayout>
#include <memory>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString &text)
{
    throw std::runtime_error(text.toStdString());
}

} // namespace

TFrm_Email::TFrm_Email(TFrm_Data *data, QWidget *parent) : QDialog(parent), m_data(data)
{
    setObjectName(QStringLiteral("Frm_Email"));
    setWindowTitle(QStringLiteral("导出客户电子信箱"));

    Edit1 = new QLineEdit(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1 = new QLabel(QStringLiteral("文件名："), this);
    Label1->setBuddy(Edit1);

    RadioGroup1 = new QGroupBox(QStringLiteral("  客户记录范围  "), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    Radio_Current = new QRadioButton(QStringLiteral("1.当前客户记录"), RadioGroup1);
    Radio_Current->setObjectName(QStringLiteral("Radio_Current"));
    Radio_Current->setChecked(true);
    Radio_All = new QRadioButton(QStringLiteral("2.全部客户记录"), RadioGroup1);
    Radio_All->setObjectName(QStringLiteral("Radio_All"));
    auto *radios = new QVBoxLayout(RadioGroup1);
    radios->addWidget(Radio_Current);
    radios->addWidget(Radio_All);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);

    Btn_start = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("开始(&S)"), this);
    Btn_start->setObjectName(QStringLiteral("Btn_start"));
    Btn_start->setDefault(true);
    btn_exit = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("退出(&E)"), this);
    btn_exit->setObjectName(QStringLiteral("btn_exit"));
    btn_exit->setAutoDefault(false);

    auto *name = new QHBoxLayout;
    name->addWidget(Label1);
    name->addWidget(Edit1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Btn_start);
    buttons->addWidget(btn_exit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addWidget(RadioGroup1);
    layout->addWidget(ProgressBar1);
    layout->addLayout(buttons);
    resize(380, sizeHint().height());

    connect(Btn_start, &QPushButton::clicked, this, [this] {
        guarded(this, [this] { start(); });
        ProgressBar1->setValue(0);
    });
    connect(btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Email::~TFrm_Email() = default;

int TFrm_Email::range() const
{
    return Radio_All->isChecked() ? AllCustomers : CurrentList;
}

void TFrm_Email::setRange(int range)
{
    (range == AllCustomers ? Radio_All : Radio_Current)->setChecked(true);
}

QString TFrm_Email::exportPath(const QString &baseName)
{
    return ProgramDir::file(QStringLiteral("Export/")) + baseName.trimmed() + QStringLiteral(".txt");
}

void TFrm_Email::start()
{
    const QString baseName = Edit1->text().trimmed();
    if (baseName.isEmpty()) {
        Messages::box(this, QStringLiteral("文件名不能为空!"), QStringLiteral("警告"), Msg::Icon::Information);
        return;
    }
    // The name is a file name inside Export, never a path leading elsewhere.
    if (baseName.contains(QLatin1Char('/')) || baseName.contains(QLatin1Char('\\')))
        fail(QStringLiteral("文件名中不能含有“/”或“\\”。"));

    // Range 1: the list the browser shows; range 2: every customer, whatever the browser shows.
    Dataset *rows = m_data->Qry_Cust;
    std::unique_ptr<Dataset> all;
    if (range() == AllCustomers) {
        all = std::make_unique<Dataset>(m_data->connection());
        TFrm_Data::RunQuery(all.get(), QStringLiteral("select * from custom"));
        rows = all.get();
    } else if (!rows->isOpen()) {
        return;
    }

    const QString path = exportPath(baseName);
    QDir().mkpath(ProgramDir::file(QStringLiteral("Export")));
    // Written beside the target and put in its place only when complete, so a failure
    // never leaves half a list behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("无法创建文件 \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));

    const int count = rows->recordCount();
    const int email = rows->checkedFieldIndex(QStringLiteral("email"));
    ProgressBar1->setRange(0, qMax(count, 1));
    ProgressBar1->setValue(0);
    // The caption counts the addresses written for the browser's list and the rows
    // gone through for all customers.
    const bool countRows = range() == AllCustomers;
    auto showProgress = [&](int done, int written) {
        ProgressBar1->setValue(done);
        setWindowTitle(QStringLiteral("导出客户电子信箱( ") + QString::number(countRows ? done : written) + QStringLiteral(" )"));
    };
    QString lines;
    int written = 0;
    for (int row = 0; row < count; ++row) {
        const QString address = Dataset::displayText(rows->value(row, email)).trimmed();
        if (!address.isEmpty()) {
            lines += address + QLatin1String("\r\n");
            ++written;
        }
        // Painting every row would cost more than the export itself on a long list.
        if ((row & 1023) == 1023)
            showProgress(row + 1, written);
    }
    showProgress(count, written);
    file.write(Gbk::encode(lines));
    // The browser ends on the last customer of its list, as after stepping through it.
    if (rows == m_data->Qry_Cust)
        rows->last();
    ProgressBar1->setValue(0);
    if (!file.commit())
        fail(QStringLiteral("无法写入文件 \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    Platform::openDocument(this, path);
}
