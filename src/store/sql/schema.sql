-- Database schema of the customer management system.
--
-- Conventions used throughout:
--   * every table starts with an integer autonumber key
--   * text columns compare without regard to case (COLLATE NOCASE)
--   * dates are stored as 'YYYY-MM-DD' text (declared DATETEXT)
--   * yes/no columns hold 0 or 1 (declared BOOLEAN)
--   * money values are kept to four decimal places (declared CURRENCY)
--   * no foreign keys and no unique constraints: the program itself tests
--     duplicates and removes dependent rows
-- Column order matters in a few places (readers take the first or second
-- column of a row), so keep it when changing a table.

-- ---------------------------------------------------------------------
-- Customers and their contact persons
-- ---------------------------------------------------------------------

-- Customers. CustCode is the customer number that contacts, activities
-- and bills point to. Category holds a category code path (Cust_Category).
CREATE TABLE custom (
  CustID       INTEGER PRIMARY KEY AUTOINCREMENT,
  CustCode     INTEGER,
  Company      VARCHAR(100) COLLATE NOCASE,
  CustType     VARCHAR(50) COLLATE NOCASE,
  Category     VARCHAR(20) COLLATE NOCASE,
  country      VARCHAR(50) COLLATE NOCASE,
  province     VARCHAR(50) COLLATE NOCASE,
  city         VARCHAR(50) COLLATE NOCASE,
  address      VARCHAR(100) COLLATE NOCASE,
  postcode     VARCHAR(20) COLLATE NOCASE,
  tel          VARCHAR(50) COLLATE NOCASE,
  fax          VARCHAR(50) COLLATE NOCASE,
  url          VARCHAR(255) COLLATE NOCASE,
  email        VARCHAR(255) COLLATE NOCASE,
  MainContact  VARCHAR(50) COLLATE NOCASE,
  Mobile       VARCHAR(50) COLLATE NOCASE,
  OtherInfo    VARCHAR(255) COLLATE NOCASE,
  income       VARCHAR(50) COLLATE NOCASE,
  introduce    LONGTEXT COLLATE NOCASE,
  memo2        LONGTEXT COLLATE NOCASE,
  memo3        LONGTEXT COLLATE NOCASE,
  CustFrom     VARCHAR(50) COLLATE NOCASE,
  CustLevel    VARCHAR(50) COLLATE NOCASE,
  F_User       VARCHAR(50) COLLATE NOCASE,
  AddDate      DATETEXT
);

CREATE INDEX idx_custom_CustCode ON custom (CustCode);
CREATE INDEX idx_custom_Company ON custom (Company);
CREATE INDEX idx_custom_F_User ON custom (F_User);

-- Contact persons. CustCode and Company are copies of the customer's.
-- MainContact marks the customer's main contact.
CREATE TABLE contact (
  ContactID    INTEGER PRIMARY KEY AUTOINCREMENT,
  CustCode     INTEGER,
  Company      VARCHAR(100) COLLATE NOCASE,
  ContactName  VARCHAR(50) COLLATE NOCASE,
  Department   VARCHAR(50) COLLATE NOCASE,
  position     VARCHAR(50) COLLATE NOCASE,
  tel          VARCHAR(50) COLLATE NOCASE,
  Fax          VARCHAR(50) COLLATE NOCASE,
  Mobile       VARCHAR(50) COLLATE NOCASE,
  Email        VARCHAR(255) COLLATE NOCASE,
  Address      VARCHAR(100) COLLATE NOCASE,
  PostCode     VARCHAR(20) COLLATE NOCASE,
  Birthday     DATETEXT,
  MainContact  BOOLEAN DEFAULT 0,
  introduce    LONGTEXT COLLATE NOCASE,
  F_User       VARCHAR(50) COLLATE NOCASE
);

CREATE INDEX idx_contact_CustCode ON contact (CustCode);

-- ---------------------------------------------------------------------
-- Category trees: the hierarchy lives in the code itself, two digits per
-- level ('01', '0101', '010203' ...).
-- ---------------------------------------------------------------------

CREATE TABLE Cust_Category (
  CateID       INTEGER PRIMARY KEY AUTOINCREMENT,
  code         VARCHAR(20) COLLATE NOCASE,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Goods_Category (
  CateID       INTEGER PRIMARY KEY AUTOINCREMENT,
  code         VARCHAR(20) COLLATE NOCASE,
  name         VARCHAR(50) COLLATE NOCASE
);

-- ---------------------------------------------------------------------
-- Goods and sales
-- ---------------------------------------------------------------------

-- Goods register. GoodsUnit is the model or size of the goods, Units the
-- unit of measure.
CREATE TABLE T_Goods (
  GoodsID      INTEGER PRIMARY KEY AUTOINCREMENT,
  GoodsCode    VARCHAR(50) COLLATE NOCASE,
  GoodsName    VARCHAR(50) COLLATE NOCASE,
  GoodsUnit    VARCHAR(50) COLLATE NOCASE,
  Units        VARCHAR(30) COLLATE NOCASE,
  Category     VARCHAR(20) COLLATE NOCASE,
  InPrice      DOUBLE,
  SalePrice    DOUBLE,
  CostPrice    DOUBLE,
  Memo         LONGTEXT COLLATE NOCASE
);

-- Sales bill headers. CustName is a copy of the buyer's company name.
CREATE TABLE T_Bill (
  BillID       INTEGER PRIMARY KEY AUTOINCREMENT,
  BillCode     VARCHAR(50) COLLATE NOCASE,
  BillDate     DATETEXT,
  CustCode     INTEGER,
  CustName     VARCHAR(100) COLLATE NOCASE,
  memo         LONGTEXT COLLATE NOCASE,
  F_User       VARCHAR(50) COLLATE NOCASE
);

CREATE INDEX idx_T_Bill_CustCode ON T_Bill (CustCode);
CREATE INDEX idx_T_Bill_BillCode ON T_Bill (BillCode);

-- Sales bill lines. Discount is a price factor (1 = no discount).
-- SaleMoney = Number * SalePrice * Discount, stored when the bill is saved.
CREATE TABLE T_BillDetail (
  BillDetailID INTEGER PRIMARY KEY AUTOINCREMENT,
  BillCode     VARCHAR(50) COLLATE NOCASE,
  GoodsCode    VARCHAR(50) COLLATE NOCASE,
  GoodsName    VARCHAR(50) COLLATE NOCASE,
  GoodsUnit    VARCHAR(50) COLLATE NOCASE,
  Units        VARCHAR(30) COLLATE NOCASE,
  Number       DOUBLE DEFAULT 0,
  SalePrice    DOUBLE,
  Discount     DOUBLE DEFAULT 1,
  SaleMoney    CURRENCY
);

CREATE INDEX idx_T_BillDetail_BillCode ON T_BillDetail (BillCode);
CREATE INDEX idx_T_BillDetail_GoodsCode ON T_BillDetail (GoodsCode);

-- ---------------------------------------------------------------------
-- Activities
-- ---------------------------------------------------------------------

-- Contact activities with an optional reminder date. CustCode is kept as
-- digits in a text column. Text affinity lets both 'quoted' and bare
-- customer codes compare equal to it.
CREATE TABLE T_Schedule (
  ScheduleID   INTEGER PRIMARY KEY AUTOINCREMENT,
  CustCode     VARCHAR(20) COLLATE NOCASE,
  Company      VARCHAR(100) COLLATE NOCASE,
  Contact      VARCHAR(50) COLLATE NOCASE,
  Subject      VARCHAR(100) COLLATE NOCASE,
  Type         VARCHAR(20) COLLATE NOCASE,
  StartDate    DATETEXT,
  Awoke        BOOLEAN DEFAULT 0,
  AwokeDate    DATETEXT,
  Memo         LONGTEXT COLLATE NOCASE,
  F_User       VARCHAR(50) COLLATE NOCASE
);

CREATE INDEX idx_T_Schedule_CustCode ON T_Schedule (CustCode);
CREATE INDEX idx_T_Schedule_AwokeDate ON T_Schedule (AwokeDate);

-- Daily work log of the operators.
CREATE TABLE T_Daily (
  DailyID      INTEGER PRIMARY KEY AUTOINCREMENT,
  Subject      VARCHAR(100) COLLATE NOCASE,
  Content      LONGTEXT COLLATE NOCASE,
  AddDate      DATETEXT,
  author       VARCHAR(50) COLLATE NOCASE
);

-- ---------------------------------------------------------------------
-- Operators, roles and rights
-- ---------------------------------------------------------------------

-- Operators. UserID 1 is the system administrator account. Permit 1 marks
-- a restricted operator who may change only his own records.
CREATE TABLE admin (
  UserID       INTEGER PRIMARY KEY AUTOINCREMENT,
  UserName     VARCHAR(50) COLLATE NOCASE,
  Password     VARCHAR(50) COLLATE NOCASE,
  PartName     VARCHAR(50) COLLATE NOCASE,
  Remark       LONGTEXT COLLATE NOCASE,
  IsUser       BOOLEAN DEFAULT 0,
  Permit       INTEGER DEFAULT 0
);

-- Roles.
CREATE TABLE T_Part (
  PartID       INTEGER PRIMARY KEY AUTOINCREMENT,
  PartName     VARCHAR(50) COLLATE NOCASE,
  Remark       LONGTEXT COLLATE NOCASE
);

-- Master list of rights, one row per rights slot in slot order.
CREATE TABLE T_System (
  SystemID     INTEGER PRIMARY KEY AUTOINCREMENT,
  FunctionName VARCHAR(50) COLLATE NOCASE
);

-- Rights of a role, one row per right in slot order (key order).
CREATE TABLE T_PartAuthority (
  PartAuthorityID INTEGER PRIMARY KEY AUTOINCREMENT,
  PartName     VARCHAR(50) COLLATE NOCASE,
  FunctionName VARCHAR(50) COLLATE NOCASE,
  Authority    BOOLEAN DEFAULT 0
);

-- Rights of an operator: his k-th row in UserAuthorityID order is rights
-- slot k.
CREATE TABLE T_UserAuthority (
  UserAuthorityID INTEGER PRIMARY KEY AUTOINCREMENT,
  UserName     VARCHAR(50) COLLATE NOCASE,
  FunctionName VARCHAR(50) COLLATE NOCASE,
  Authority    BOOLEAN DEFAULT 0
);

CREATE INDEX idx_T_UserAuthority_UserName ON T_UserAuthority (UserName);

-- ---------------------------------------------------------------------
-- Own company and program information (one row each)
-- ---------------------------------------------------------------------

CREATE TABLE info (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  Company      VARCHAR(50) COLLATE NOCASE,
  Regname      VARCHAR(20) COLLATE NOCASE,
  Address      VARCHAR(50) COLLATE NOCASE,
  fax          VARCHAR(50) COLLATE NOCASE,
  tel          VARCHAR(50) COLLATE NOCASE,
  Postcode     VARCHAR(50) COLLATE NOCASE,
  Version      VARCHAR(10) COLLATE NOCASE,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE T_SoftInfo (
  SoftID       INTEGER PRIMARY KEY AUTOINCREMENT,
  SoftName     VARCHAR(50) COLLATE NOCASE,
  Version      VARCHAR(20) COLLATE NOCASE
);

-- ---------------------------------------------------------------------
-- Lookup lists: pick lists read the second column ordered by id.
-- ---------------------------------------------------------------------

CREATE TABLE Dict_Country (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Dict_Province (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Dict_CustType (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Dict_CustFrom (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Dict_CustLevel (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Dict_department (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  name         VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Dict_Zw (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  name         VARCHAR(50) COLLATE NOCASE
);

-- Further lookup lists told apart by Cataid: 'Units' (units of measure)
-- and 'subject' (subjects of contact activities).
CREATE TABLE T_Other (
  id           INTEGER PRIMARY KEY AUTOINCREMENT,
  Name         VARCHAR(50) COLLATE NOCASE,
  Cataid       VARCHAR(20) COLLATE NOCASE
);

-- ---------------------------------------------------------------------
-- Tools and settings
-- ---------------------------------------------------------------------

-- Grid column layouts, one row per column of a layout (TableName).
-- ShowID is the 0-based position among the shown columns. show 0 keeps a
-- column available to the column chooser without showing it.
CREATE TABLE T_FieldShow (
  FieldShowID  INTEGER PRIMARY KEY AUTOINCREMENT,
  TableName    VARCHAR(50) COLLATE NOCASE,
  Field        VARCHAR(50) COLLATE NOCASE,
  Name         VARCHAR(50) COLLATE NOCASE,
  Width        INTEGER,
  ShowID       INTEGER,
  show         INTEGER DEFAULT 1,
  SumField     INTEGER DEFAULT 0,
  ShowButton   INTEGER DEFAULT 0
);

CREATE INDEX idx_T_FieldShow_TableName ON T_FieldShow (TableName);

-- Spreadsheet import mapping: target column (S_Field of tablename) and the
-- spreadsheet column title mapped to it (F_Field, a single blank = none).
CREATE TABLE T_Import (
  ImportID     INTEGER PRIMARY KEY AUTOINCREMENT,
  tablename    VARCHAR(50) COLLATE NOCASE,
  S_Field      VARCHAR(30) COLLATE NOCASE,
  FieldName    VARCHAR(50) COLLATE NOCASE,
  F_Field      VARCHAR(50) COLLATE NOCASE
);

-- Scratch table of the import: the column titles of the spreadsheet.
CREATE TABLE T_Temp (
  TempID       INTEGER PRIMARY KEY AUTOINCREMENT,
  S_Field      VARCHAR(255) COLLATE NOCASE,
  CellID       INTEGER
);

-- Data clearing actions: caption, the statement run for it, offered or not.
CREATE TABLE Dict_ClearData (
  ClearID      INTEGER PRIMARY KEY AUTOINCREMENT,
  Action       VARCHAR(50) COLLATE NOCASE,
  SQL          LONGTEXT COLLATE NOCASE,
  F_Flag       BOOLEAN DEFAULT 0
);

-- ---------------------------------------------------------------------
-- Stored queries
-- ---------------------------------------------------------------------

-- Bill lines together with the header of their bill (sales pages of the
-- customer browser, sales analysis).
CREATE VIEW S_BillDetail AS
SELECT
  T_Bill.BillCode           AS BillCode,
  T_Bill.BillDate           AS BillDate,
  T_Bill.CustCode           AS CustCode,
  T_Bill.CustName           AS CustName,
  T_Bill.F_User             AS F_User,
  T_Bill.memo               AS memo,
  T_BillDetail.GoodsCode    AS GoodsCode,
  T_BillDetail.GoodsName    AS GoodsName,
  T_BillDetail.GoodsUnit    AS GoodsUnit,
  T_BillDetail.Units        AS Units,
  T_BillDetail.Number       AS Number,
  T_BillDetail.SalePrice    AS SalePrice,
  T_BillDetail.Discount     AS Discount,
  T_BillDetail.SaleMoney    AS SaleMoney,
  T_BillDetail.BillDetailID AS BillDetailID
FROM T_BillDetail
INNER JOIN T_Bill ON T_Bill.BillCode = T_BillDetail.BillCode
ORDER BY T_Bill.BillDate, T_Bill.BillCode, T_BillDetail.BillDetailID;

-- Customers with their contacts for envelope, label and data sheet
-- printing: one row per contact, and one row with an empty ContactName
-- for a customer without contacts.
CREATE VIEW S_ViewCust AS
SELECT
  custom.CustID             AS CustID,
  custom.CustCode           AS CustCode,
  custom.Company            AS Company,
  custom.CustType           AS CustType,
  custom.Category           AS Category,
  custom.country            AS country,
  custom.province           AS province,
  custom.city               AS city,
  custom.address            AS address,
  custom.postcode           AS postcode,
  custom.tel                AS tel,
  custom.fax                AS fax,
  custom.url                AS url,
  custom.email              AS email,
  custom.MainContact        AS MainContact,
  custom.Mobile             AS Mobile,
  custom.OtherInfo          AS OtherInfo,
  custom.income             AS income,
  custom.introduce          AS introduce,
  custom.memo2              AS memo2,
  custom.memo3              AS memo3,
  custom.CustFrom           AS CustFrom,
  custom.CustLevel          AS CustLevel,
  custom.F_User             AS F_User,
  custom.AddDate            AS AddDate,
  contact.ContactName       AS ContactName
FROM custom
LEFT JOIN contact ON contact.CustCode = custom.CustCode
ORDER BY custom.CustID, contact.ContactID;
