#include "SalesCommands.h"
#include "TFrm_A_Sale.h"
#include "TFrm_AddBill.h"
#include "TFrm_AddGoods.h"
#include "TFrm_Goods.h"
#include "data/TFrm_Data.h"
#include "ui/Commands.h"
#include "ui/Messages.h"
#include "ui/RecordEditor.h"
#include "ui/Session.h"

void installSalesCommands(Session *session)
{
    TFrm_Data *data = session->data();
    const auto handle = [session](const char *name, std::function<void()> handler) {
        session->setHandler(QString::fromLatin1(name), std::move(handler));
    };
    handle(Cmd::M_Goods, [session] {
        TFrm_Goods goods(session, session->dialogParent());
        goods.exec();
    });
    handle(Cmd::AddGoods, [session] { execEditor<TFrm_AddGoods>(session, EditorMode::Add); });
    handle(Cmd::EditGoods, [session] { execEditor<TFrm_AddGoods>(session, EditorMode::Edit); });
    handle(Cmd::AddBill, [session] { execEditor<TFrm_AddBill>(session, EditorMode::Add); });
    // A bill is edited from the customer's bill list; without a bill there is nothing to edit.
    handle(Cmd::EditBill, [session, data] {
        if (data->Qry_Bill->isOpen() && data->Qry_Bill->currentRow() >= 0)
            execEditor<TFrm_AddBill>(session, EditorMode::Edit);
        else
            Messages::box(session->dialogParent(), QStringLiteral("请先在客户的“销售记录”中选择要编辑的销售单。"),
                          Msg::ProgramTitle, Msg::Icon::Information);
    });
    handle(Cmd::M_A_Sale, [session] {
        session->showChild<TFrm_A_Sale>([session] { return new TFrm_A_Sale(session); }, true);
    });
}
