#include "TFrm_Data.h"
#include "store/queries/SchemaCheck.h"
#include "store/DbError.h"
#include "store/ProgramDir.h"
#include "store/SettingKeys.h"
#include "store/queries/Bills.h"
#include "store/queries/Shared.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QDir>
#include <cmath>

TFrm_Data::TFrm_Data(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("Frm_Data"));
    m_settings = std::make_unique<IniSettings>(ProgramDir::file(QStringLiteral("Config.ini")));

    Qry_Cust = makeQuery("Qry_Cust", Shared::allRowsOf(QStringLiteral("custom")));
    Qry_Contact = makeQuery("Qry_Contact", Shared::allRowsOf(QStringLiteral("contact")));
    Qry_Schedule = makeQuery("Qry_Schedule");
    Qry_Daily = makeQuery("Qry_Daily");
    Qry_Bill = makeQuery("Qry_Bill");
    Qry_Detail = makeQuery("Qry_Detail");
    Qry_BillDetail = makeQuery("Qry_BillDetail", Shared::allRowsOf(QStringLiteral("T_BillDetail")));
    Qry_Goods = makeQuery("Qry_Goods");
    Qry_Custom = makeQuery("Qry_Custom", Shared::allRowsOf(QStringLiteral("info")));
    Qry_Other = makeQuery("Qry_Other");
    Qry_HY = makeQuery("Qry_HY");
    Qry_zw = makeQuery("Qry_zw");
    Qry_Depart = makeQuery("Qry_Depart");
    Qry_FieldShow = makeQuery("Qry_FieldShow");
    Qry_Import = makeQuery("Qry_Import");
    Qry_SoftInfo = makeQuery("Qry_SoftInfo");
    Qry_Report = makeQuery("Qry_Report");
    Qry_Count = makeQuery("Qry_Count");

    DS_Cust = new DataSource(QStringLiteral("DS_Cust"), Qry_Cust, this);
    DS_Contact = new DataSource(QStringLiteral("DS_Contact"), Qry_Contact, this);
    DS_Schedule = new DataSource(QStringLiteral("DS_Schedule"), Qry_Schedule, this);
    DS_Daily = new DataSource(QStringLiteral("DS_Daily"), Qry_Daily, this);
    DS_Bill = new DataSource(QStringLiteral("DS_Bill"), Qry_Bill, this);
    DS_Detail = new DataSource(QStringLiteral("DS_Detail"), Qry_Detail, this);
    DS_BillDetail = new DataSource(QStringLiteral("DS_BillDetail"), Qry_BillDetail, this);
    DS_Goods = new DataSource(QStringLiteral("DS_Goods"), Qry_Goods, this);
    DS_Other = new DataSource(QStringLiteral("DS_Other"), Qry_Other, this);

    // The customer list may be long: it loads off the window thread.
    Qry_Cust->setBackgroundLoading(true);

    // Detail queries follow the current customer through :CustCode.
    for (Dataset *detail : {Qry_Contact, Qry_Schedule, Qry_Daily, Qry_Bill, Qry_Detail})
        detail->setMaster(Qry_Cust);

    // Bill lines stay in memory until the bill is saved; their amount is calculated.
    Qry_BillDetail->setCachedUpdates(true);
    Qry_BillDetail->addCalculatedField(QStringLiteral("money"), FieldKind::Currency,
                                       [this](const Dataset &lines, int row) -> QVariant {
        if (!billEditorExists())
            return {};
        return lineAmount(lines.value(row, lines.fieldIndex(QStringLiteral("Number"))),
                          lines.value(row, lines.fieldIndex(QStringLiteral("SalePrice"))),
                          lines.value(row, lines.fieldIndex(QStringLiteral("Discount"))));
    });

    m_reports.push_back(std::make_unique<ReportTemplate>(QStringLiteral("fr_Envelop"),
        QStringLiteral("Reports/fr_Envelop.frf"), QStringLiteral("contactname")));
    m_reports.push_back(std::make_unique<ReportTemplate>(QStringLiteral("fr_EnveLabel"),
        QStringLiteral("Reports/fr_Label.frf"), QStringLiteral("contactname")));
    m_reports.push_back(std::make_unique<ReportTemplate>(QStringLiteral("fr_CustBasic"),
        QStringLiteral("Reports/fr_CustBasic.frf"), QStringLiteral("contact_name")));
    m_reports.push_back(std::make_unique<ReportTemplate>(QStringLiteral("fr_Bills"),
        QStringLiteral("Reports/fr_Bills.frf"), QStringLiteral("contactname")));

    DBConn = Setting::DBConn.read(*m_settings);
    m_databasePath = databasePathFor(DBConn, ProgramDir::path());
    for (;;) {
        try {
            switchDatabase(m_databasePath);
            ConnectOK = true;
            if (isReadOnly())
                Messages::box(nullptr, readOnlyNotice(), Msg::ProgramTitle, Msg::Icon::Information);
            break;
        } catch (const DbError &error) {
            // A database another program holds locked is the right one, only busy:
            // offer to try again and leave the setting as it is.
            if (error.kind() == DbError::Kind::Busy) {
                const Msg::Answer again = Messages::box(nullptr,
                    QStringLiteral("数据库正被其他程序使用,暂时无法连接。\n\n%1\n\n要重试吗?")
                        .arg(QDir::toNativeSeparators(Connection::shownLocation(m_databasePath))),
                    Msg::ProgramTitle, Msg::Icon::Warning, Msg::Buttons::YesNo);
                if (again == Msg::Answer::Yes)
                    continue;
                return;
            }
            // A file refused for its shape says what is wrong with it before the question.
            if (SchemaCheck::isRefusalText(error.text()))
                Messages::box(nullptr, error.text() + QStringLiteral("\n\n") + QDir::toNativeSeparators(m_databasePath),
                              Msg::ProgramTitle, Msg::Icon::Warning);
            const Msg::Answer answer = Messages::box(nullptr, QStringLiteral("连接数据库失败,您要连接本机数据库吗! "),
                                                     Msg::ProgramTitle, Msg::Icon::Information, Msg::Buttons::YesNo);
            if (answer == Msg::Answer::Yes)
                Setting::DBConn.write(*m_settings, QString());
            return;
        }
    }
    Shared::openCompanyInfo(*Qry_Custom);
    loadReports();
}

TFrm_Data::~TFrm_Data()
{
    // Queries go before the connection they read from.
    for (Dataset *query : queries())
        query->setConnection(nullptr);
}

Dataset *TFrm_Data::makeQuery(const char *name, const QString &sql)
{
    auto *query = new Dataset(nullptr, this);
    query->setObjectName(QString::fromLatin1(name));
    query->setSql(sql);
    return query;
}

QList<Dataset *> TFrm_Data::queries() const
{
    return findChildren<Dataset *>(QString(), Qt::FindDirectChildrenOnly);
}

QString TFrm_Data::databasePathFor(const QString &dbConn, const QString &programDir)
{
    // Any text, blanks included, is taken as a path; only an empty value means the local file.
    return dbConn.isEmpty() ? programDir + QStringLiteral("DataBase/Custom.mdb") : dbConn;
}

QString TFrm_Data::readOnlyNotice()
{
    return QStringLiteral("数据库文件只能读取，不能写入：可以查看和打印数据，但不能新增、修改或删除。\n"
                          "请检查数据库文件及其所在文件夹的写入权限。");
}

void TFrm_Data::switchDatabase(const QString &path, bool readOnly)
{
    std::unique_ptr<Connection> opened = readOnly ? Connection::openReadOnly(path) : Connection::open(path);
    // A file lacking a table or column the windows need, or carrying a trigger or view
    // of someone else's, is not worked on.
    if (opened->engine() == SqlEngine::Sqlite) {
        const SchemaCheck::Differences differences = SchemaCheck::compare(*opened);
        if (!differences.acceptable())
            throw DbError(SchemaCheck::refusalText(differences), DbError::Kind::NotOurDatabase);
    }
    for (Dataset *query : queries())
        query->setConnection(opened.get());
    ADOConnection1 = std::move(opened);
    m_databasePath = path;
}

void TFrm_Data::closeConnection()
{
    for (Dataset *query : queries())
        query->setConnection(nullptr);
    ADOConnection1.reset();
}

void TFrm_Data::closeCustomerQueries()
{
    for (Dataset *query : {Qry_Contact, Qry_Schedule, Qry_Daily, Qry_Bill, Qry_Detail, Qry_Cust})
        query->close();
}

void TFrm_Data::loadReports()
{
    for (const auto &report : m_reports)
        report->load(ProgramDir::path()); // a missing template is skipped without a message
}

ReportTemplate *TFrm_Data::report(const QString &name) const
{
    for (const auto &report : m_reports)
        if (report->name() == name)
            return report.get();
    return nullptr;
}

void TFrm_Data::RunQuery(Dataset *query, const QString &sql)
{
    query->close();
    query->setSql(sql);
    query->open();
}

int TFrm_Data::RunSql(Dataset *query, const QString &sql)
{
    query->close();
    query->setSql(sql);
    return query->execute();
}

static void fillCombo(Dataset *query, QComboBox *combo)
{
    combo->clear();
    QStringList items;
    for (int row = 0; row < query->recordCount(); ++row)
        items.append(Dataset::displayText(query->value(row, 1)).trimmed());
    combo->addItems(items);
}

void TFrm_Data::FillComboByName(Dataset *query, QComboBox *combo, const QString &table)
{
    Shared::openLookupByName(*query, table);
    fillCombo(query, combo);
}

void TFrm_Data::FillComboById(Dataset *query, QComboBox *combo, const QString &table)
{
    Shared::openLookupById(*query, table);
    fillCombo(query, combo);
}

QVariant TFrm_Data::lineAmount(const QVariant &number, const QVariant &salePrice, const QVariant &discount)
{
    return Bills::lineAmount(number, salePrice, discount);
}

std::optional<QString> TFrm_Data::contactVariable(const ReportContactOptions &options, const Dataset &rows,
                                                  const QString &requested, const QString &callbackVariable)
{
    if (!options.fillContact)
        return std::nullopt;
    const QString column = options.useMainContact == 1 ? QStringLiteral("MainContact")
                                                       : QStringLiteral("contactname");
    const QString value = Dataset::displayText(rows.value(column));
    if (requested.compare(callbackVariable, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return value.isEmpty() ? options.defaultContact : value;
}
