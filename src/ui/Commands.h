#pragma once

// The names of the program's commands and of the menu entries that take work of their
// own. A handler is registered under one of these names only: the main window refuses
// any other name, so a misspelt name fails at start-up instead of doing nothing.
namespace Cmd {

// Commands: shared actions that menus, tool buttons and other windows show.
inline constexpr char AddCust[] = "AddCust", EditCust[] = "EditCust", DelCust[] = "DelCust";
inline constexpr char AddContact[] = "AddContact", EditContact[] = "EditContact", DelContact[] = "DelContact";
inline constexpr char AddSchedule[] = "AddSchedule", EditSchedule[] = "EditSchedule", DelSchedule[] = "DelSchedule";
inline constexpr char AddDaily[] = "AddDaily", EditDaily[] = "EditDaily", DelDaily[] = "DelDaily";
inline constexpr char AddGoods[] = "AddGoods", EditGoods[] = "EditGoods", DelGoods[] = "DelGoods";
inline constexpr char AddBill[] = "AddBill", EditBill[] = "EditBill", DelBill[] = "DelBill";
inline constexpr char SearchCust[] = "SearchCust";
inline constexpr char P_CustBasic[] = "P_CustBasic", P_Envelop[] = "P_Envelop", P_Label[] = "P_Label";
inline constexpr char ExportCustCSV[] = "ExportCustCSV", ExportContactCSV[] = "ExportContactCSV";
inline constexpr char ExportCSVSchedule[] = "ExportCSVSchedule", ExportEmail[] = "ExportEmail";
inline constexpr char Cust_CustContact[] = "Cust_CustContact", ShowField_Cust[] = "ShowField_Cust";
inline constexpr char M_UserList[] = "M_UserList", M_Company[] = "M_Company", M_Backup[] = "M_Backup";
inline constexpr char M_CompactDB[] = "M_CompactDB", M_ClearData[] = "M_ClearData";
inline constexpr char Cust_Category[] = "Cust_Category", Goods_Category[] = "Goods_Category";
inline constexpr char M_Other[] = "M_Other", M_Goods[] = "M_Goods", M_A_Sale[] = "M_A_Sale";
inline constexpr char Main_Schedule[] = "Main_Schedule", Main_Daily[] = "Main_Daily", MyCust[] = "MyCust";
inline constexpr char Cust_Cust[] = "Cust_Cust", Cust_Contact[] = "Cust_Contact", Help[] = "Help";

// Menu entries of the main window that run work of their own rather than a command.
inline constexpr char ChangePassword[] = "N31", Relogin[] = "Sys_Relogin", Quit[] = "N2";
inline constexpr char ImportCustomers[] = "sss1", OpenDatabase[] = "Sys_Open";
inline constexpr char DesignEnvelope[] = "N26", DesignLabel[] = "N53", DesignBill[] = "N55";
inline constexpr char CompanyEntry[] = "Sys_Company", PrintLabels[] = "N42", Reminders[] = "N_Awoke";
inline constexpr char Calculator[] = "N16", TextEditor[] = "N17", WriteToAuthor[] = "N12", About[] = "N13";

// The window menu of the frame: the child windows arranged, closed, switched.
inline constexpr char CascadeWindows[] = "Win_Cascade", TileWindows[] = "Win_Tile", CloseAllWindows[] = "Win_CloseAll";
inline constexpr char NextWindow[] = "Win_Next", CloseWindow[] = "Win_Close";

// Work that other windows run by name (the browser's batch edit entry).
inline constexpr char BatchEdit[] = "BatchEdit";

} // namespace Cmd
