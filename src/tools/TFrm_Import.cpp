#include "TFrm_Import.h"
#include "ui_TFrm_Import.h"
#include "sheets/CustomerImport.h"
#include "data/TFrm_Data.h"
#include "main/GridColumns.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "store/queries/Import.h"
#include "ui/DataGrid.h"
#include "ui/Guarded.h"
#include "ui/Messages.h"
#include "ui/Platform.h"
#include "ui/Session.h"
#include "ui/WaitCursor.h"

#include <QAbstractItemDelegate>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <QStyledItemDelegate>

namespace {

const QString Layout = QStringLiteral("import");

// The target captions are not for editing.
class ReadOnlyDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }
};

// The spreadsheet title of a target: picked from the sheet's titles or typed; an empty
// choice leaves the target unmapped.
class TitleDelegate : public QStyledItemDelegate
{
public:
    TitleDelegate(const QStringList &titles, QObject *parent) : QStyledItemDelegate(parent), m_titles(titles) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("TitlePicker"));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItem(QString());
        combo->addItems(m_titles);
        return combo;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *combo = static_cast<QComboBox *>(editor);
        const QString title = index.data(Qt::EditRole).toString().trimmed();
        const int at = combo->findText(title);
        if (at >= 0)
            combo->setCurrentIndex(at);
        else
            combo->setEditText(title);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString title = static_cast<QComboBox *>(editor)->currentText();
        model->setData(index, title.trimmed().isEmpty() ? Import::Unmapped : title, Qt::EditRole);
    }

private:
    QStringList m_titles;
};

} // namespace

TFrm_Import::TFrm_Import(Session *session, SheetData sheet, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrm_Import>()), m_session(session), m_sheet(std::move(sheet))
{
    ui->setupUi(this);
    TFrm_Data *module = session->data();
    Connection *connection = module->connection();
    m_mapping = std::make_unique<Dataset>(connection);
    m_mapping->setObjectName(QStringLiteral("Qry_Import"));
    m_titles = std::make_unique<Dataset>(connection);

    ui->Label1->setText(QStringLiteral("Excel中共有 ") + QString::number(CustomerImport::dataRowCount(m_sheet))
                        + QStringLiteral(" 条记录"));

    Import::openTitles(*m_titles);
    QStringList titles;
    for (int row = 0; row < m_titles->recordCount(); ++row) {
        const QString title = m_titles->value(row, m_titles->checkedFieldIndex(QStringLiteral("S_Field"))).toString();
        if (!title.trimmed().isEmpty() && !titles.contains(title))
            titles.append(title);
    }

    DataGrid *grid = ui->DBGridEh1;
    grid->setReadOnly(false);
    grid->setDataset(m_mapping.get());
    Import::openMapping(*m_mapping);
    GridColumns::ApplyColumns(module, grid, m_mapping.get(), Layout);
    const int captionColumn = grid->columnOfField(QStringLiteral("FieldName"));
    const int titleColumn = grid->columnOfField(QStringLiteral("F_Field"));
    for (int column = 0; column < grid->gridColumnCount(); ++column)
        if (column != titleColumn)
            grid->setItemDelegateForColumn(column, new ReadOnlyDelegate(grid));
    if (titleColumn >= 0) {
        grid->setItemDelegateForColumn(titleColumn, new TitleDelegate(titles, grid));
        grid->setButtonColumn(titleColumn, false);
        grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                              | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    }
    if (captionColumn >= 0)
        grid->setCurrentIndex(grid->model()->index(0, titleColumn >= 0 ? titleColumn : captionColumn));

    connect(ui->Btn_Start, &QPushButton::clicked, this, [this] { start(); });
    connect(ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Import::~TFrm_Import() = default;

bool TFrm_Import::commitPending()
{
    DataGrid *grid = ui->DBGridEh1;
    if (QWidget *editor = grid->indexWidget(grid->currentIndex())) {
        QMetaObject::invokeMethod(grid, "commitData", Qt::DirectConnection, Q_ARG(QWidget *, editor));
        QMetaObject::invokeMethod(grid, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget *, editor),
                                  Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    }
    if (m_mapping->state() != Dataset::State::Edit && m_mapping->state() != Dataset::State::Insert)
        return true;
    if (guarded(this, [this] { m_mapping->post(); }))
        return true;
    guarded(this, [this] { m_mapping->cancel(); });
    return false;
}

void TFrm_Import::done(int result)
{
    if (!commitPending())
        return;
    QDialog::done(result);
}

namespace {

// What an import left out, as lines after its success message; empty when nothing was.
QString leftOutText(int skippedRows, int unmappedColumns)
{
    QString text;
    if (skippedRows > 0)
        text += QStringLiteral("\n有 %1 行的对应列都是空的,已跳过。").arg(skippedRows);
    if (unmappedColumns > 0)
        text += QStringLiteral("\n文件中有 %1 列没有对应的字段,没有导入。").arg(unmappedColumns);
    return text;
}

} // namespace

bool TFrm_Import::start()
{
    if (!commitPending())
        return false;
    Connection *connection = m_session->data()->connection();
    ui->Btn_Start->setEnabled(false);
    const int total = CustomerImport::dataRowCount(m_sheet);
    std::unique_ptr<QProgressDialog> bar;
    if (total > 0) {
        bar = std::make_unique<QProgressDialog>(QStringLiteral("正在导入客户数据…"), QStringLiteral("取消"), 0, total, this);
        bar->setObjectName(QStringLiteral("ImportProgress"));
        bar->setWindowTitle(QStringLiteral("从Excel导入客户数据"));
        bar->setWindowModality(Qt::WindowModal);
        bar->setMinimumDuration(500);
    }
    bool stored = false;
    bool cancelled = false;
    QString failure;
    CustomerImport::Summary summary;
    int unmapped = 0;
    {
        WaitCursor wait;
        try {
            CustomerImport::checkMapping(*connection);
            unmapped = CustomerImport::unmappedColumnCount(*connection, m_sheet);
            stored = CustomerImport::run(*connection, m_sheet, [&bar](int done, int) {
                if (!bar)
                    return true;
                bar->setValue(done);
                return !bar->wasCanceled();
            }, &summary);
            cancelled = !stored;
        } catch (const CustomerImport::Failure &error) {
            failure = error.text();
        }
    }
    bar.reset();
    ui->Btn_Start->setEnabled(true);
    if (!failure.isEmpty())
        Messages::box(this, failure, QStringLiteral("警告"), Msg::Icon::Warning);
    else if (cancelled)
        Messages::box(this, QStringLiteral("导入已取消,没有导入任何数据。"), QStringLiteral("提醒"), Msg::Icon::Information);
    else
        Messages::plain(this, QStringLiteral("导入数据成功!") + leftOutText(summary.skippedEmpty, unmapped));
    return stored;
}

void TFrm_Import::importCommand(Session *session)
{
    QWidget *parent = session->dialogParent();
    const QString path = Platform::openFileName(parent, QStringLiteral("Excel文件导入到数据库"), ProgramDir::path(),
                                                Spreadsheet::fileFilter());
    if (path.isEmpty())
        return;
    SheetData sheet;
    try {
        WaitCursor wait;
        sheet = Spreadsheet::read(path);
    } catch (const SpreadsheetError &error) {
        Messages::box(parent, error.text(), QStringLiteral("警告"), Msg::Icon::Warning);
        return;
    }
    QStringList titles;
    for (int column = 1; column <= sheet.columnCount(); ++column)
        titles.append(sheet.text(1, column));
    try {
        Import::storeTitles(*session->data()->connection(), titles);
    } catch (const DbError &error) {
        Messages::errorReport(parent, error.text());
        return;
    }
    TFrm_Import window(session, std::move(sheet), parent);
    window.exec();
}
