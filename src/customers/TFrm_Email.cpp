#include "TFrm_Email.h"
#include "ui_TFrm_Email.h"
#include "data/TFrm_Data.h"
#include "store/queries/Customers.h"
#include "store/Gbk.h"
#include "store/ProgramDir.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStyle>
#include <memory>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString &text)
{
    throw std::runtime_error(text.toStdString());
}

} // namespace

TFrm_Email::TFrm_Email(TFrm_Data *dataModule, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Email>()), m_data(dataModule)
{
    ui->setupUi(this);
    ui->Edit1->setText(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    ui->Btn_start->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->btn_exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    resize(width(), sizeHint().height());

    // The bar stays full after an export, so the operator sees it went through; a failed
    // one leaves it empty.
    connect(ui->Btn_start, &QPushButton::clicked, this, [this] {
        if (!guarded(this, [this] { start(); }))
            ui->ProgressBar1->setValue(0);
    });
    connect(ui->btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Email::~TFrm_Email() = default;

int TFrm_Email::range() const
{
    return ui->Radio_All->isChecked() ? AllCustomers : CurrentList;
}

void TFrm_Email::setRange(int range)
{
    (range == AllCustomers ? ui->Radio_All : ui->Radio_Current)->setChecked(true);
}

QString TFrm_Email::exportPath(const QString &baseName)
{
    return ProgramDir::file(QStringLiteral("Export/")) + baseName.trimmed() + QStringLiteral(".txt");
}

void TFrm_Email::start()
{
    const QString baseName = ui->Edit1->text().trimmed();
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
        Customers::openAll(*all);
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

    // The browser's list may still be arriving in the background: every row is written.
    if (rows->isLoading())
        rows->waitForLoaded();
    const int count = rows->recordCount();
    const int email = rows->checkedFieldIndex(QStringLiteral("email"));
    ui->ProgressBar1->setRange(0, qMax(count, 1));
    ui->ProgressBar1->setValue(0);
    // The caption counts the addresses written for the browser's list and the rows
    // gone through for all customers.
    const bool countRows = range() == AllCustomers;
    auto showProgress = [&](int done, int written) {
        ui->ProgressBar1->setValue(done);
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
    if (!file.commit())
        fail(QStringLiteral("无法写入文件 \"%1\": %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    // The file is written: that is the result. Showing it is a convenience; a desktop with
    // nothing to show text files is mentioned, not reported as a failure.
    const bool shown = Platform::tryOpenDocument(this, path);
    Messages::box(this, exportedText(written, QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), shown),
                  QStringLiteral("成功"), Msg::Icon::Information);
}

QString TFrm_Email::exportedText(int addresses, const QString &nativePath, bool shown)
{
    QString text = QStringLiteral("已导出 %1 个电子信箱地址到文件：\n%2").arg(addresses).arg(nativePath);
    if (!shown)
        text += QStringLiteral("\n\n本机没有可以打开文本文件的程序，请用其他程序打开该文件。");
    return text;
}
