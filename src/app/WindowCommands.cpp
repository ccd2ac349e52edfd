#include "WindowCommands.h"
#include "activities/ActivityLogCommands.h"
#include "admin/AdminCommands.h"
#include "sales/SalesCommands.h"
#include "tools/DataToolCommands.h"
#include "tools/ToolCommands.h"
#include "activities/ScheduleCommands.h"
#include "customers/CustomerEditorCommands.h"
#include "customers/CustomerToolCommands.h"
#include "customers/TFrm_Custom.h"
#include "main/RecordCommands.h"
#include "main/TFrm_Main.h"
#include "main/TFrm_Tree.h"
#include "printing/PrintCommands.h"
#include "TFrm_ChangePass.h"
#include "TFrm_Login.h"
#include "ui/Commands.h"
#include "store/queries/Customers.h"

#include <QPointer>
#include <memory>

namespace {

// The references the commands share: the open customer browser.
struct Windows
{
    QPointer<TFrm_Custom> Frm_Custom;
};

// The browser is the working area of the program: it fills the frame when it opens.
TFrm_Custom *showBrowser(TFrm_Main *main, Windows &windows)
{
    return main->ShowChildMaximized(windows.Frm_Custom);
}

void openCategoryWindow(TFrm_Main *main, const QString &table, const QString &caption)
{
    TFrm_Tree window(main->data(), main);
    window.CategoryTable = table;
    window.RootCaption = caption;
    window.SelectMode = TFrm_Tree::ManageOnly;
    window.exec();
}

} // namespace

void installSessionDialogs(TFrm_Main *main)
{
    main->setHandler(QString::fromLatin1(Cmd::ChangePassword), [main] {
        TFrm_ChangePass dialog(main, main);
        dialog.exec();
    });
    main->loginDialog = [main] {
        TFrm_Login login(main, [main](const QString &name, int permit) { main->setOperator(name, permit); }, main);
        login.exec();
    };
}

void installWindowCommands(TFrm_Main *main)
{
    installSessionDialogs(main);
    auto windows = std::make_shared<Windows>();
    TFrm_Data *data = main->data();
    auto op = [main] { return OperatorContext{main->OperatorName, main->Permit}; };
    auto records = std::make_shared<RecordCommands>(data, main);

    main->showCustomerBrowser = [main, windows] { showBrowser(main, *windows); };
    main->setHandler(Cmd::Cust_CustContact, [main, data, windows] {
        TFrm_Custom *browser = showBrowser(main, *windows);
        data->Qry_Contact->link();
        // The status line counts the list now shown, not the first hundred.
        browser->loadCustomers([main](Dataset &customers) { Customers::openList(customers, main->scope()); });
        // The schedule page follows the current customer again, whatever the schedule
        // list did to the shared list.
        browser->followCurrentCustomer();
        browser->applyCustomerColumns();
    });
    main->setHandler(Cmd::MyCust, [main, windows] {
        TFrm_Custom *browser = showBrowser(main, *windows);
        browser->loadCustomers([main](Dataset &customers) { Customers::openOwn(customers, main->operatorName()); });
        browser->applyCustomerColumns();
    });
    main->setHandler(Cmd::Cust_Category, [main] {
        openCategoryWindow(main, QStringLiteral("Cust_Category"), QStringLiteral("客户分类"));
    });
    main->setHandler(Cmd::Goods_Category, [main] {
        openCategoryWindow(main, QStringLiteral("Goods_Category"), QStringLiteral("商品分类"));
    });

    // Deleting customers works on the browser's grid; with the browser closed there is
    // nothing on screen to delete, so the command does nothing.
    main->setHandler(Cmd::DelCust, [windows, records, op] {
        if (windows->Frm_Custom)
            records->DelCust(op(), windows->Frm_Custom->selectedRows());
    });
    main->setHandler(Cmd::DelContact, [records, op] { records->DelContact(op()); });
    main->setHandler(Cmd::DelSchedule, [records, op] { records->DelSchedule(op()); });
    main->setHandler(Cmd::DelDaily, [records] { records->DelDaily(); });
    main->setHandler(Cmd::DelGoods, [records] { records->DelGoods(); });
    main->setHandler(Cmd::DelBill, [records] { records->DelBill(); });

    installCustomerEditorCommands(main);
    installScheduleCommands(main);
    installActivityLogCommands(main);
    installAdminCommands(main);
    installToolCommands(main);
    installDataToolCommands(main);
    installCustomerToolCommands(main);
    installSalesCommands(main);
    // The customers the print dialog prints: those selected in the customer list, or all
    // it lists; none without an open list.
    installPrintCommands(main, [windows, data](bool all) {
        QVariantList codes;
        Dataset *customers = data->Qry_Cust;
        if (!windows->Frm_Custom || !customers->isOpen() || customers->isEmpty())
            return codes;
        customers->waitForLoaded(); // a long list may still be arriving
        const int field = customers->fieldIndex(QStringLiteral("CustCode"));
        if (all) {
            for (int row = 0; row < customers->recordCount(); ++row)
                codes.append(customers->value(row, field));
            return codes;
        }
        QList<int> rows = windows->Frm_Custom->selectedRows();
        if (rows.isEmpty() && customers->currentRow() >= 0)
            rows.append(customers->currentRow());
        for (int row : rows)
            codes.append(customers->value(row, field));
        if (!rows.isEmpty()) // the list ends on the last printed customer
            customers->setCurrentRow(rows.last());
        return codes;
    });
    main->hideUnhandledCommands();
}
