-- Initial rows of a new database: the administrator account, rights and
-- roles, grid column layouts, import mapping, clearing actions, lookup
-- lists and the starting category trees. No business data.

-- Operators. UserID 1 is the system administrator account (never deleted),
-- logging in with an empty password.
INSERT INTO admin (UserID, UserName, Password, PartName, Remark, IsUser, Permit) VALUES (1, 'Admin', '', '系统管理员', '系统管理员帐号，拥有全部权限', 1, 0);

-- Rights in slot order. The position of a right decides what it enables:
--  1 system administration (operators, backup, compaction, import, company)
--  2 data initialisation (clearing)
--  3 add   4 edit   5 delete   6 customer search   7 printing
--  8 export, and seeing the records of every operator
-- 10 customer categories   11 lookup lists
--  9 and 12 to 20 are reserved and enable nothing.
INSERT INTO T_System (SystemID, FunctionName) VALUES (1, '系统管理');
INSERT INTO T_System (SystemID, FunctionName) VALUES (2, '数据初始化');
INSERT INTO T_System (SystemID, FunctionName) VALUES (3, '新增');
INSERT INTO T_System (SystemID, FunctionName) VALUES (4, '编辑');
INSERT INTO T_System (SystemID, FunctionName) VALUES (5, '删除');
INSERT INTO T_System (SystemID, FunctionName) VALUES (6, '客户查询');
INSERT INTO T_System (SystemID, FunctionName) VALUES (7, '报表打印');
INSERT INTO T_System (SystemID, FunctionName) VALUES (8, '数据导出及查看全部客户');
INSERT INTO T_System (SystemID, FunctionName) VALUES (9, '保留权限9');
INSERT INTO T_System (SystemID, FunctionName) VALUES (10, '客户类别管理');
INSERT INTO T_System (SystemID, FunctionName) VALUES (11, '其它管理');
INSERT INTO T_System (SystemID, FunctionName) VALUES (12, '保留权限12');
INSERT INTO T_System (SystemID, FunctionName) VALUES (13, '保留权限13');
INSERT INTO T_System (SystemID, FunctionName) VALUES (14, '保留权限14');
INSERT INTO T_System (SystemID, FunctionName) VALUES (15, '保留权限15');
INSERT INTO T_System (SystemID, FunctionName) VALUES (16, '保留权限16');
INSERT INTO T_System (SystemID, FunctionName) VALUES (17, '保留权限17');
INSERT INTO T_System (SystemID, FunctionName) VALUES (18, '保留权限18');
INSERT INTO T_System (SystemID, FunctionName) VALUES (19, '保留权限19');
INSERT INTO T_System (SystemID, FunctionName) VALUES (20, '保留权限20');

-- Roles. Operators of the role 普通用户 are restricted to their own records.
INSERT INTO T_Part (PartID, PartName, Remark) VALUES (1, '系统管理员', '拥有全部权限');
INSERT INTO T_Part (PartID, PartName, Remark) VALUES (2, '普通用户', '可新增、编辑、删除自己的客户资料，查询及打印；只能修改自己录入的记录');
INSERT INTO T_Part (PartID, PartName, Remark) VALUES (3, '销售经理', '管理全部客户资料、客户类别及基础资料，可导出数据，无系统管理权限');

-- Rights of each role, one row per right in slot order. New operators
-- get a copy of their role's rows in this order.
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '系统管理', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '数据初始化', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '新增', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '编辑', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '删除', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '客户查询', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '报表打印', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '数据导出及查看全部客户', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限9', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '客户类别管理', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '其它管理', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限12', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限13', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限14', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限15', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限16', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限17', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限18', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限19', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('系统管理员', '保留权限20', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '系统管理', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '数据初始化', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '新增', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '编辑', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '删除', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '客户查询', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '报表打印', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '数据导出及查看全部客户', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限9', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '客户类别管理', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '其它管理', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限12', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限13', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限14', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限15', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限16', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限17', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限18', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限19', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('普通用户', '保留权限20', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '系统管理', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '数据初始化', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '新增', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '编辑', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '删除', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '客户查询', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '报表打印', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '数据导出及查看全部客户', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限9', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '客户类别管理', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '其它管理', 1);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限12', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限13', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限14', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限15', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限16', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限17', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限18', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限19', 0);
INSERT INTO T_PartAuthority (PartName, FunctionName, Authority) VALUES ('销售经理', '保留权限20', 0);

-- Rights of the administrator account, in slot order.
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '系统管理', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '数据初始化', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '新增', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '编辑', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '删除', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '客户查询', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '报表打印', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '数据导出及查看全部客户', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限9', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '客户类别管理', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '其它管理', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限12', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限13', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限14', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限15', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限16', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限17', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限18', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限19', 1);
INSERT INTO T_UserAuthority (UserName, FunctionName, Authority) VALUES ('Admin', '保留权限20', 1);

-- Grid column layouts.
-- Layout Custom: customer grid of the customer browser and the customer
-- search. The quick search finds its columns by the titles 客户编号, 公司名称,
-- 通讯地址, 电话, 传真, 电子信箱 and 网址, so keep them.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'CustCode', '客户编号', 70, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'Company', '公司名称', 200, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'Category', '客户类别', 70, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'CustType', '客户类型', 80, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'CustLevel', '客户级别', 80, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'MainContact', '联系人', 70, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'tel', '电话', 110, 6, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'Mobile', '手机', 110, 7, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'fax', '传真', 110, 8, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'email', '电子信箱', 150, 9, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'url', '网址', 150, 10, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'address', '通讯地址', 200, 11, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'postcode', '邮编', 60, 12, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'city', '城市', 70, 13, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'province', '省份', 80, 14, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'country', '国家', 60, 15, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'CustFrom', '客户来源', 80, 16, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'F_User', '业务员', 70, 17, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'AddDate', '添加日期', 90, 18, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'income', '年收入', 80, 19, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'OtherInfo', '其它信息', 150, 20, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'introduce', '公司简介', 200, 21, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'memo2', '附加信息', 200, 22, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'memo3', '竞争对手', 150, 23, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Custom', 'CustID', '记录号', 60, 24, 0, 0, 0);

-- Layout Contact: contact grid. The quick search finds its columns by the
-- titles 姓名, 办公电话 and 电子邮件.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'ContactName', '姓名', 70, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'Company', '公司名称', 180, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'Department', '部门', 80, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'position', '职务', 80, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'tel', '办公电话', 110, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'Mobile', '手机', 110, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'Fax', '传真', 110, 6, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'Email', '电子邮件', 150, 7, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'Address', '地址', 200, 8, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'PostCode', '邮编', 60, 9, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'Birthday', '生日', 90, 10, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'MainContact', '主联系人', 60, 11, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'F_User', '业务员', 70, 12, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'introduce', '个人简介', 200, 13, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'CustCode', '客户编号', 70, 14, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Contact', 'ContactID', '记录号', 60, 15, 0, 0, 0);

-- Layout Schedule: contact activities (customer browser, activity list,
-- reminders).
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'StartDate', '联系时间', 90, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'Company', '相关客户', 180, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'Contact', '联系人', 70, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'Subject', '活动主题', 120, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'Type', '活动类型', 70, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'Awoke', '需要提醒', 60, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'AwokeDate', '提醒时间', 90, 6, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'Memo', '活动描述', 200, 7, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'F_User', '业务员', 70, 8, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'CustCode', '客户编号', 70, 9, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Schedule', 'ScheduleID', '记录号', 60, 10, 0, 0, 0);

-- Layout Bill: sales bills of the current customer.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Bill', 'BillCode', '单据编号', 130, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Bill', 'BillDate', '开单日期', 90, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Bill', 'CustName', '客户名称', 180, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Bill', 'F_User', '制单人', 70, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Bill', 'memo', '备注', 200, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Bill', 'CustCode', '客户编号', 70, 5, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Bill', 'BillID', '记录号', 60, 6, 0, 0, 0);

-- Layout BillDetail: lines of the sales bill editor. The goods code cell
-- carries a button that opens the goods picker. money is the line amount
-- computed while the bill is edited.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'GoodsCode', '商品编码', 100, 0, 1, 0, 1);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'GoodsName', '商品名称', 150, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'GoodsUnit', '规格型号', 100, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'Units', '单位', 60, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'Number', '数量', 70, 4, 1, 1, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'SalePrice', '单价', 80, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'Discount', '折扣', 60, 6, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'money', '金额', 90, 7, 1, 1, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'SaleMoney', '已存金额', 90, 8, 0, 1, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'BillCode', '单据编号', 130, 9, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('BillDetail', 'BillDetailID', '记录号', 60, 10, 0, 0, 0);

-- Layout S_SaleDetail: bill lines of the current customer (S_BillDetail).
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'BillDate', '开单日期', 90, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'BillCode', '单据编号', 130, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'GoodsCode', '商品编码', 100, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'GoodsName', '商品名称', 150, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'GoodsUnit', '规格型号', 100, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'Units', '单位', 60, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'Number', '数量', 70, 6, 1, 1, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'SalePrice', '单价', 80, 7, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'Discount', '折扣', 60, 8, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'SaleMoney', '金额', 90, 9, 1, 1, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'F_User', '制单人', 70, 10, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'CustName', '客户名称', 180, 11, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'CustCode', '客户编号', 70, 12, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'memo', '备注', 200, 13, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('S_SaleDetail', 'BillDetailID', '记录号', 60, 14, 0, 0, 0);

-- Layout R_SaleDetail: sales analysis (S_BillDetail).
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'BillDate', '销售日期', 90, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'BillCode', '单据编号', 130, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'CustName', '客户名称', 180, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'GoodsCode', '商品编码', 100, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'GoodsName', '商品名称', 150, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'GoodsUnit', '规格型号', 100, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'Units', '单位', 60, 6, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'Number', '数量', 70, 7, 1, 1, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'SalePrice', '单价', 80, 8, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'Discount', '折扣', 60, 9, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'SaleMoney', '金额', 90, 10, 1, 1, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'F_User', '业务员', 70, 11, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'CustCode', '客户编号', 70, 12, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'memo', '备注', 200, 13, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('R_SaleDetail', 'BillDetailID', '记录号', 60, 14, 0, 0, 0);

-- Layout Goods: goods list.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'GoodsCode', '商品编码', 100, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'GoodsName', '商品名称', 150, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'GoodsUnit', '规格型号', 120, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'Units', '单位', 60, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'Category', '商品类别', 70, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'InPrice', '进价', 80, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'SalePrice', '售价', 80, 6, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'CostPrice', '成本价', 80, 7, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'Memo', '备注', 200, 8, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Goods', 'GoodsID', '记录号', 60, 9, 0, 0, 0);

-- Layout SelectGoods: goods picker of the sales bill editor and the sales
-- analysis. Purchase and cost prices are not shown there.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'GoodsCode', '商品编码', 100, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'GoodsName', '商品名称', 150, 1, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'GoodsUnit', '规格型号', 120, 2, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'Units', '单位', 60, 3, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'SalePrice', '售价', 80, 4, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'Category', '商品类别', 70, 5, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'InPrice', '进价', 80, 6, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'CostPrice', '成本价', 80, 7, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'Memo', '备注', 200, 8, 0, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('SelectGoods', 'GoodsID', '记录号', 60, 9, 0, 0, 0);

-- Layout Other: the lookup lists. Every list has the value column Name.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('Other', 'Name', '名称', 200, 0, 1, 0, 0);

-- Layout import: the import mapping grid, target caption first and the
-- spreadsheet column second.
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('import', 'FieldName', '字段名称', 150, 0, 1, 0, 0);
INSERT INTO T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton) VALUES ('import', 'F_Field', 'Excel列名', 200, 1, 1, 0, 1);

-- Spreadsheet import mapping. A new import proposes the spreadsheet's
-- columns to these rows in ImportID order. The customer rows follow the shown
-- columns of the customer grid, so that a spreadsheet exported from that grid
-- lines up. CustCode is not listed: the import numbers the customers itself
-- and gives each customer's contact the same number. F_User and AddDate are
-- left to the program, and the contact's CustCode and Company come from
-- its customer.
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'Company', '公司名称', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'Category', '客户类别', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'CustType', '客户类型', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'CustLevel', '客户级别', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'MainContact', '联系人', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'tel', '电话', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'Mobile', '手机', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'fax', '传真', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'email', '电子信箱', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'url', '网址', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'address', '通讯地址', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'postcode', '邮编', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'city', '城市', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'province', '省份', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'country', '国家', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'CustFrom', '客户来源', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'income', '年收入', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'OtherInfo', '其它信息', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'introduce', '公司简介', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'memo2', '附加信息', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('custom', 'memo3', '竞争对手', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'ContactName', '联系人姓名', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'Department', '联系人部门', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'position', '联系人职务', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'tel', '联系人办公电话', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'Mobile', '联系人手机', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'Fax', '联系人传真', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'Email', '联系人电子邮件', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'Address', '联系人地址', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'PostCode', '联系人邮编', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'Birthday', '联系人生日', ' ');
INSERT INTO T_Import (tablename, S_Field, FieldName, F_Field) VALUES ('contact', 'introduce', '联系人简介', ' ');

-- Data clearing actions, run in this order inside one transaction.
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空客户资料', 'delete from custom', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空联系人', 'delete from contact', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空联系活动', 'delete from T_Schedule', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空工作日志', 'delete from T_Daily', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空销售单据明细', 'delete from T_BillDetail', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空销售单据', 'delete from T_Bill', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空商品资料', 'delete from T_Goods', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空客户类别', 'delete from Cust_Category', 1);
INSERT INTO Dict_ClearData (Action, SQL, F_Flag) VALUES ('清空商品类别', 'delete from Goods_Category', 1);

-- Units of measure and subjects of contact activities.
INSERT INTO T_Other (Name, Cataid) VALUES ('个', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('台', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('套', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('件', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('箱', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('千克', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('米', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('盒', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('包', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('吨', 'Units');
INSERT INTO T_Other (Name, Cataid) VALUES ('产品介绍', 'subject');
INSERT INTO T_Other (Name, Cataid) VALUES ('报价', 'subject');
INSERT INTO T_Other (Name, Cataid) VALUES ('回访', 'subject');
INSERT INTO T_Other (Name, Cataid) VALUES ('售后服务', 'subject');
INSERT INTO T_Other (Name, Cataid) VALUES ('投诉处理', 'subject');
INSERT INTO T_Other (Name, Cataid) VALUES ('合同洽谈', 'subject');
INSERT INTO T_Other (Name, Cataid) VALUES ('催款', 'subject');
INSERT INTO T_Other (Name, Cataid) VALUES ('节日问候', 'subject');

-- Countries.
INSERT INTO Dict_Country (name) VALUES ('中国');
INSERT INTO Dict_Country (name) VALUES ('美国');
INSERT INTO Dict_Country (name) VALUES ('日本');
INSERT INTO Dict_Country (name) VALUES ('韩国');
INSERT INTO Dict_Country (name) VALUES ('德国');
INSERT INTO Dict_Country (name) VALUES ('英国');
INSERT INTO Dict_Country (name) VALUES ('法国');
INSERT INTO Dict_Country (name) VALUES ('新加坡');
INSERT INTO Dict_Country (name) VALUES ('加拿大');
INSERT INTO Dict_Country (name) VALUES ('澳大利亚');
INSERT INTO Dict_Country (name) VALUES ('俄罗斯');
INSERT INTO Dict_Country (name) VALUES ('意大利');
INSERT INTO Dict_Country (name) VALUES ('印度');
INSERT INTO Dict_Country (name) VALUES ('马来西亚');
INSERT INTO Dict_Country (name) VALUES ('泰国');

-- Provinces, municipalities and autonomous regions of China,
-- with Taiwan, Hong Kong and Macao.
INSERT INTO Dict_Province (name) VALUES ('北京市');
INSERT INTO Dict_Province (name) VALUES ('天津市');
INSERT INTO Dict_Province (name) VALUES ('河北省');
INSERT INTO Dict_Province (name) VALUES ('山西省');
INSERT INTO Dict_Province (name) VALUES ('内蒙古自治区');
INSERT INTO Dict_Province (name) VALUES ('辽宁省');
INSERT INTO Dict_Province (name) VALUES ('吉林省');
INSERT INTO Dict_Province (name) VALUES ('黑龙江省');
INSERT INTO Dict_Province (name) VALUES ('上海市');
INSERT INTO Dict_Province (name) VALUES ('江苏省');
INSERT INTO Dict_Province (name) VALUES ('浙江省');
INSERT INTO Dict_Province (name) VALUES ('安徽省');
INSERT INTO Dict_Province (name) VALUES ('福建省');
INSERT INTO Dict_Province (name) VALUES ('江西省');
INSERT INTO Dict_Province (name) VALUES ('山东省');
INSERT INTO Dict_Province (name) VALUES ('河南省');
INSERT INTO Dict_Province (name) VALUES ('湖北省');
INSERT INTO Dict_Province (name) VALUES ('湖南省');
INSERT INTO Dict_Province (name) VALUES ('广东省');
INSERT INTO Dict_Province (name) VALUES ('广西壮族自治区');
INSERT INTO Dict_Province (name) VALUES ('海南省');
INSERT INTO Dict_Province (name) VALUES ('重庆市');
INSERT INTO Dict_Province (name) VALUES ('四川省');
INSERT INTO Dict_Province (name) VALUES ('贵州省');
INSERT INTO Dict_Province (name) VALUES ('云南省');
INSERT INTO Dict_Province (name) VALUES ('西藏自治区');
INSERT INTO Dict_Province (name) VALUES ('陕西省');
INSERT INTO Dict_Province (name) VALUES ('甘肃省');
INSERT INTO Dict_Province (name) VALUES ('青海省');
INSERT INTO Dict_Province (name) VALUES ('宁夏回族自治区');
INSERT INTO Dict_Province (name) VALUES ('新疆维吾尔自治区');
INSERT INTO Dict_Province (name) VALUES ('台湾省');
INSERT INTO Dict_Province (name) VALUES ('香港特别行政区');
INSERT INTO Dict_Province (name) VALUES ('澳门特别行政区');

-- Customer types.
INSERT INTO Dict_CustType (name) VALUES ('潜在客户');
INSERT INTO Dict_CustType (name) VALUES ('意向客户');
INSERT INTO Dict_CustType (name) VALUES ('正式客户');
INSERT INTO Dict_CustType (name) VALUES ('合作伙伴');
INSERT INTO Dict_CustType (name) VALUES ('代理商');
INSERT INTO Dict_CustType (name) VALUES ('供应商');

-- Customer sources.
INSERT INTO Dict_CustFrom (name) VALUES ('电话营销');
INSERT INTO Dict_CustFrom (name) VALUES ('网络推广');
INSERT INTO Dict_CustFrom (name) VALUES ('展会');
INSERT INTO Dict_CustFrom (name) VALUES ('客户介绍');
INSERT INTO Dict_CustFrom (name) VALUES ('广告');
INSERT INTO Dict_CustFrom (name) VALUES ('老客户');
INSERT INTO Dict_CustFrom (name) VALUES ('其他');

-- Customer levels.
INSERT INTO Dict_CustLevel (name) VALUES ('VIP客户');
INSERT INTO Dict_CustLevel (name) VALUES ('重要客户');
INSERT INTO Dict_CustLevel (name) VALUES ('普通客户');
INSERT INTO Dict_CustLevel (name) VALUES ('一般客户');

-- Departments.
INSERT INTO Dict_department (name) VALUES ('总经理办公室');
INSERT INTO Dict_department (name) VALUES ('销售部');
INSERT INTO Dict_department (name) VALUES ('市场部');
INSERT INTO Dict_department (name) VALUES ('采购部');
INSERT INTO Dict_department (name) VALUES ('财务部');
INSERT INTO Dict_department (name) VALUES ('技术部');
INSERT INTO Dict_department (name) VALUES ('行政部');
INSERT INTO Dict_department (name) VALUES ('人力资源部');
INSERT INTO Dict_department (name) VALUES ('客服部');

-- Job titles.
INSERT INTO Dict_Zw (name) VALUES ('董事长');
INSERT INTO Dict_Zw (name) VALUES ('总经理');
INSERT INTO Dict_Zw (name) VALUES ('副总经理');
INSERT INTO Dict_Zw (name) VALUES ('部门经理');
INSERT INTO Dict_Zw (name) VALUES ('主管');
INSERT INTO Dict_Zw (name) VALUES ('采购经理');
INSERT INTO Dict_Zw (name) VALUES ('销售经理');
INSERT INTO Dict_Zw (name) VALUES ('工程师');
INSERT INTO Dict_Zw (name) VALUES ('会计');
INSERT INTO Dict_Zw (name) VALUES ('职员');

-- Starting customer categories (two digits per level).
INSERT INTO Cust_Category (code, name) VALUES ('01', '华北地区');
INSERT INTO Cust_Category (code, name) VALUES ('0101', '北京');
INSERT INTO Cust_Category (code, name) VALUES ('0102', '天津');
INSERT INTO Cust_Category (code, name) VALUES ('0103', '河北');
INSERT INTO Cust_Category (code, name) VALUES ('02', '华东地区');
INSERT INTO Cust_Category (code, name) VALUES ('0201', '上海');
INSERT INTO Cust_Category (code, name) VALUES ('0202', '江苏');
INSERT INTO Cust_Category (code, name) VALUES ('0203', '浙江');
INSERT INTO Cust_Category (code, name) VALUES ('03', '华南地区');
INSERT INTO Cust_Category (code, name) VALUES ('0301', '广东');
INSERT INTO Cust_Category (code, name) VALUES ('0302', '福建');

-- Starting goods categories.
INSERT INTO Goods_Category (code, name) VALUES ('01', '办公设备');
INSERT INTO Goods_Category (code, name) VALUES ('0101', '打印机');
INSERT INTO Goods_Category (code, name) VALUES ('0102', '复印机');
INSERT INTO Goods_Category (code, name) VALUES ('0103', '传真机');
INSERT INTO Goods_Category (code, name) VALUES ('02', '办公耗材');
INSERT INTO Goods_Category (code, name) VALUES ('0201', '硒鼓墨盒');
INSERT INTO Goods_Category (code, name) VALUES ('0202', '打印纸');
INSERT INTO Goods_Category (code, name) VALUES ('03', '电脑配件');
INSERT INTO Goods_Category (code, name) VALUES ('0301', '显示器');
INSERT INTO Goods_Category (code, name) VALUES ('0302', '键盘鼠标');

-- The own company (one row) and the program title (one row).
INSERT INTO info (Company, Regname, Address, fax, tel, Postcode, Version, name) VALUES ('北京华信科技有限公司', '张伟', '北京市海淀区中关村大街28号', '010-62561234', '010-62561235', '100080', '1.0', '');
INSERT INTO T_SoftInfo (SoftName, Version) VALUES ('客户管理系统', ' V1.0');
