#include "PrintCommand.h"

#include "report/MoneyInCapitals.h"
#include "report/ReportQueries.h"
#include "report/ReportRenderer.h"
#include "report/ReportTemplate.h"
#include "report/ReportValues.h"
#include "store/Connection.h"
#include "store/Dataset.h"
#include "store/DbError.h"
#include "store/Gbk.h"
#include "store/OutputFile.h"
#include "store/ProgramDir.h"
#include "store/queries/Bills.h"
#include "store/queries/Run.h"

#include <cstdio>
#include <optional>
#include <stdexcept>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: kehu-cli print envelope|label|custbasic (--customers 3,5,8 | --all) "
                         "[--contacts main|all] [--default 负责人] [--first N] --pdf OUT.pdf [--replace] [--db PATH]\n"
                         "       kehu-cli print bill BILLNUMBER --pdf OUT.pdf [--replace] [--db PATH]\n");
    return 2;
}

QString takeOption(QStringList &args, const QString &name, bool *missingValue)
{
    const int at = int(args.indexOf(name));
    if (at < 0)
        return {};
    if (at + 1 >= args.size()) {
        *missingValue = true;
        return {};
    }
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

// Writes the laid-out report to the PDF file and says what was written; 1 on failure.
// The pages go to a temporary file renamed over the named one when complete.
int writePdf(const Report::ReportRenderer &renderer, int rows, const QString &pdf)
{
    QString error;
    OutputFile target(pdf);
    if (!Report::exportPdf(renderer, target.temporaryPath(), &error) || !target.commit(&error)) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    std::printf("%d 行，%d 页：%s\n", rows, renderer.pageCount(), pdf.toUtf8().constData());
    return 0;
}

// A stored sales bill as the bill editor prints it: its lines with their amounts, the
// customer of the company name the bill shows, and the total in capital numerals.
int printBill(QStringList args, const QString &database)
{
    bool missing = false;
    const QString pdf = takeOption(args, QStringLiteral("--pdf"), &missing);
    if (missing || pdf.isEmpty() || args.size() != 1)
        return usage();
    const QString number = args.first();
    ReportTemplate report(QStringLiteral("fr_Bills"), QStringLiteral("Reports/fr_Bills.frf"), QStringLiteral("contactname"));
    report.load(ProgramDir::path());
    QString error;
    const auto document = report.document(&error);
    if (!document) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    try {
        auto connection = Connection::open(database);
        Dataset header(connection.get()), lines(connection.get()), customer(connection.get()), info(connection.get());
        Bills::openHeader(header, number);
        if (header.isEmpty()) {
            std::fprintf(stderr, "没有编号为 %s 的销售单。\n", number.toUtf8().constData());
            return 1;
        }
        Bills::addLineAmount(lines);
        Bills::openLines(lines, number);
        Bills::openCustomer(customer, header.text(QStringLiteral("CustName")));
        Run::open(info, QStringLiteral("select * from info"));
        QString inCapitals;
        try {
            inCapitals = signedMoneyInCapitals(Bills::linesTotal(lines));
        } catch (const std::out_of_range &) {
            std::fprintf(stderr, "%s\n", moneyOutOfRangeMessage().toUtf8().constData());
            return 1;
        }
        Report::DatasetValues values(&lines);
        values.addDataset(QStringLiteral("Custom"), &customer);
        values.addDataset(QStringLiteral("Info"), &info);
        Report::ReportRenderer renderer(*document, &values, ProgramDir::path());
        renderer.setObjectText(QStringLiteral("Memo_BigMoney"), inCapitals);
        return writePdf(renderer, lines.recordCount(), pdf);
    } catch (const DbError &failure) {
        std::fprintf(stderr, "%s\n", failure.text().toUtf8().constData());
        return 1;
    }
}

// Why the PDF named after --pdf may not be written (printed on standard error), or empty.
QString outputRefusal(const QStringList &args, const QString &database, bool replace)
{
    const int at = int(args.indexOf(QStringLiteral("--pdf")));
    if (at < 0 || at + 1 >= args.size())
        return {};
    const QString pdf = args.at(at + 1);
    const OutputFile::Refusal refused = OutputFile::refusal(pdf, database, replace);
    if (refused == OutputFile::Refusal::Exists)
        return OutputFile::refusalText(refused, pdf) + QStringLiteral("要替换它请加 --replace。");
    return OutputFile::refusalText(refused, pdf);
}

// The customer numbers of --customers: whole numbers separated by commas, nothing else.
std::optional<QVariantList> customerCodes(const QString &list)
{
    QVariantList codes;
    for (const QString &item : list.split(u',', Qt::SkipEmptyParts)) {
        bool whole = false;
        const qlonglong code = item.trimmed().toLongLong(&whole);
        if (!whole || code < 0)
            return std::nullopt;
        codes.append(code);
    }
    return codes;
}

// Envelopes, labels and customer sheets, or a bill; the output file already checked.
int printReport(QStringList args, const QString &database)
{
    struct Kind
    {
        const char *word, *report, *file, *variable;
    };
    static const Kind kinds[] = {{"envelope", "fr_Envelop", "Reports/fr_Envelop.frf", "contactname"},
                                 {"label", "fr_EnveLabel", "Reports/fr_Label.frf", "contactname"},
                                 {"custbasic", "fr_CustBasic", "Reports/fr_CustBasic.frf", "contact_name"}};
    if (args.isEmpty())
        return usage();
    if (args.first() == QLatin1String("bill"))
        return printBill(args.mid(1), database);
    const Kind *kind = nullptr;
    for (const Kind &k : kinds)
        if (args.first() == QLatin1String(k.word))
            kind = &k;
    if (!kind)
        return usage();
    args.removeFirst();
    bool missing = false;
    const QString customers = takeOption(args, QStringLiteral("--customers"), &missing);
    const QString contacts = takeOption(args, QStringLiteral("--contacts"), &missing);
    const QString defaultGiven = takeOption(args, QStringLiteral("--default"), &missing);
    const QString first = takeOption(args, QStringLiteral("--first"), &missing);
    const QString pdf = takeOption(args, QStringLiteral("--pdf"), &missing);
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    if (missing || !args.isEmpty() || pdf.isEmpty() || all == !customers.isEmpty()
        || !(contacts.isEmpty() || contacts == u"main" || contacts == u"all"))
        return usage();
    bool firstOk = true;
    const int firstLabel = first.isEmpty() ? 0 : first.toInt(&firstOk);
    if (!firstOk || firstLabel < 0)
        return usage();
    const std::optional<QVariantList> givenCodes = customerCodes(customers);
    if (!all && !givenCodes) {
        std::fprintf(stderr, "--customers 须是以逗号分隔的客户编号,例如 3,5,8。\n");
        return 2;
    }
    const bool everyContact = contacts == u"all";
    // The print dialog's default recipient, cut to 20 GBK bytes as it is there.
    const QString defaultContact = Gbk::cut(defaultGiven.isEmpty() ? QStringLiteral("负责人") : defaultGiven, 20);

    ReportTemplate report(QString::fromLatin1(kind->report), QString::fromLatin1(kind->file),
                          QString::fromLatin1(kind->variable));
    report.load(ProgramDir::path());
    QString error;
    const auto document = report.document(&error);
    if (!document) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 1;
    }
    if (!first.isEmpty()) {
        const int places = document->labels.active() ? document->labels.perSheet() : 1;
        if (firstLabel < 1 || firstLabel > places) {
            if (places == 1)
                std::fprintf(stderr, "此报表不是标签纸,--first 只能是 1。\n");
            else
                std::fprintf(stderr, "--first 应在 1 到 %d 之间(每张标签纸 %d 个标签)。\n", places, places);
            return 2;
        }
    }
    try {
        auto connection = Connection::open(database);
        QVariantList codes;
        if (all) {
            Dataset list(connection.get());
            Run::open(list, QStringLiteral("select CustCode from custom order by CustID"));
            for (int row = 0; row < list.recordCount(); ++row)
                codes.append(list.value(row, 0));
        } else {
            codes = *givenCodes;
        }
        if (codes.isEmpty()) {
            std::fprintf(stderr, "没有可打印的客户。\n");
            return 1;
        }
        Dataset rows(connection.get()), info(connection.get());
        ReportQueries::openCustomers(rows, codes, everyContact);
        // Codes of customers that do not exist would print an empty page.
        if (rows.recordCount() == 0) {
            std::fprintf(stderr, "没有可打印的客户。\n");
            return 1;
        }
        Run::open(info, QStringLiteral("select * from info"));
        Report::DatasetValues values(&rows);
        values.addDataset(QStringLiteral("Info"), &info);
        // The contact name as the data module's report callback gives it.
        const QString variable = report.contactVariable();
        const int column = rows.fieldIndex(everyContact ? QStringLiteral("contactname") : QStringLiteral("MainContact"));
        values.setVariables([&rows, variable, column, defaultContact](const QString &name, int row) -> std::optional<QVariant> {
            if (name.compare(variable, Qt::CaseInsensitive) != 0)
                return std::nullopt;
            const QString value = Dataset::displayText(rows.value(row, column));
            return QVariant(value.isEmpty() ? defaultContact : value);
        });
        Report::ReportRenderer renderer(*document, &values, ProgramDir::path());
        if (firstLabel > 0)
            renderer.setFirstLabel(firstLabel);
        return writePdf(renderer, rows.recordCount(), pdf);
    } catch (const DbError &failure) {
        std::fprintf(stderr, "%s\n", failure.text().toUtf8().constData());
        return 1;
    }
}

} // namespace

int printCommand(QStringList args, const QString &database)
{
    const bool replace = args.removeAll(QStringLiteral("--replace")) > 0;
    const QString refusal = outputRefusal(args, database, replace);
    if (!refusal.isEmpty()) {
        std::fprintf(stderr, "%s\n", refusal.toUtf8().constData());
        return 1;
    }
    return printReport(args, database);
}

