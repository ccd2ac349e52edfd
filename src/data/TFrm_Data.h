#pragma once

#include "report/ReportTemplate.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/IniSettings.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;

// A data source: what a grid or an editor binds to, and what a detail query follows.
class DataSource : public QObject
{
    Q_OBJECT
public:
    DataSource(const QString &name, Dataset *dataset, QObject *parent)
        : QObject(parent), m_dataset(dataset) { setObjectName(name); }
    Dataset *dataset() const { return m_dataset; }

private:
    Dataset *m_dataset;
};

// Report fields of the main window that the contact-variable callbacks read.
struct ReportContactOptions
{
    bool fillContact = false;
    int useMainContact = 0;   // 1: column MainContact, otherwise ContactName
    QString defaultContact;   // printed when the row has no contact
};

// The data module: alive for the whole run, it owns the settings file, the one
// database connection, the shared queries with their data sources and links, and the
// report templates.
class TFrm_Data : public QObject
{
    Q_OBJECT
public:
    // Opens the settings file and the database. On a failed connection it asks whether
    // the local database should be used next time; connectOK() then stays false.
    explicit TFrm_Data(QObject *parent = nullptr);
    ~TFrm_Data() override;

    static QString databasePathFor(const QString &dbConn, const QString &programDir);
    static std::optional<QString> contactVariable(const ReportContactOptions &options, const Dataset &rows,
                                                  const QString &requested, const QString &callbackVariable);

    bool connectOK() const { return ConnectOK; }
    IniSettings &settings() { return *m_settings; }
    Connection *connection() const { return ADOConnection1.get(); }
    QString dbConn() const { return DBConn; }
    QString databasePath() const { return m_databasePath; }

    // Opens another database file for every shared query (throws DbError on failure,
    // keeping the previous connection).
    void switchDatabase(const QString &path, bool readOnly = false);
    // The database can only be read: windows offer no saves (see TFrm_Main::applyRights).
    bool isReadOnly() const { return ADOConnection1 && ADOConnection1->isReadOnly(); }
    // The notice the start-up gives for such a database.
    static QString readOnlyNotice();
    // Closes every query and the connection (compaction needs the file to itself).
    void closeConnection();
    // Closes the customer list and the queries that follow it, so that nothing loaded in
    // one operator's scope is left for the next operator (relogin).
    void closeCustomerQueries();

    static void RunQuery(Dataset *query, const QString &sql);
    static int RunSql(Dataset *query, const QString &sql);
    static void FillComboByName(Dataset *query, QComboBox *combo, const QString &table);
    static void FillComboById(Dataset *query, QComboBox *combo, const QString &table);

    // The bill editor registers itself here; bill-line amounts are calculated only while it exists.
    void setBillEditor(QObject *editor) { m_billEditor = editor; }
    bool billEditorExists() const { return !m_billEditor.isNull(); }
    static QVariant lineAmount(const QVariant &number, const QVariant &salePrice, const QVariant &discount);

    const std::vector<std::unique_ptr<ReportTemplate>> &reports() const { return m_reports; }
    ReportTemplate *report(const QString &name) const;
    QList<Dataset *> queries() const;

    // Shared queries, named as the windows know them.
    Dataset *Qry_Cust, *Qry_Contact, *Qry_Schedule, *Qry_Daily, *Qry_Bill, *Qry_Detail;
    Dataset *Qry_BillDetail, *Qry_Goods, *Qry_Custom, *Qry_Other, *Qry_HY, *Qry_zw, *Qry_Depart;
    Dataset *Qry_FieldShow, *Qry_Import, *Qry_SoftInfo, *Qry_Report, *Qry_Count;
    DataSource *DS_Cust, *DS_Contact, *DS_Schedule, *DS_Daily, *DS_Bill, *DS_Detail;
    DataSource *DS_BillDetail, *DS_Goods, *DS_Other;

private:
    Dataset *makeQuery(const char *name, const QString &sql = {});
    void loadReports();

    std::unique_ptr<IniSettings> m_settings;
    std::unique_ptr<Connection> ADOConnection1;
    QString DBConn;
    QString m_databasePath;
    bool ConnectOK = false;
    QPointer<QObject> m_billEditor;
    std::vector<std::unique_ptr<ReportTemplate>> m_reports;
};
