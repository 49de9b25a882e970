-- The default database of the contract management program: every table, the two stored
-- queries and the rows a new installation needs before its first login.
--
-- Written in the program's own SQL dialect (Jet column types, true/false, one statement per
-- ';' at a line end) and run through the same translator as every statement of the program,
-- so the declared types are the ones the datasets see. kelm-mkdb removes the "--" comments
-- before the statements run.
--
-- Types and why:
--   TEXT(n)   codes, names and state words. Codes must stay text ('0101' is not 101) and text
--             columns compare without regard to case, as the program's statements expect.
--   MEMO      notes and long lists (a right list of every right is longer than 255 characters).
--   CURRENCY  amounts: footers and totals add them as fixed-point values.
--   DOUBLE    quantities, prices and the legacy float columns.
--   DATETIME  dates, held as day counts so that #date# ranges and date differences work.
--   BIT       flags; COUNTER the row numbers the database assigns.
-- Records refer to each other by text (contract code, customer name, ...), never by row
-- number; the indexes below only speed up those look-ups or refuse duplicate keys.


-- ============================================================================ contracts

-- Contracts. f_check is the contract's state word ("未执行", "执行中", "已终止", "已结束");
-- the edit window never writes it, so a new contract starts as "未执行".
-- Code and name are unique: the edit window checks them only when adding, the index also
-- refuses a duplicate made by editing.
create table t_pact (
  PactCode   TEXT(50) not null,
  PactName   TEXT(100) not null,
  PactType   TEXT(50),           -- type name, from dict_cate 'pacttype'
  typecode   TEXT(30),           -- code of that type, two digits a level
  PactMoney  CURRENCY,
  CustName   TEXT(100),          -- customer, by name
  PrjName    TEXT(100),          -- project, by name
  PrjMan     TEXT(50),           -- manager, an employee's name
  PactDate   DATETIME,
  BeginDate  DATETIME,
  EndDate    DATETIME,
  PactNote   MEMO,
  PactCNote  MEMO,               -- notes on changes
  f_check    TEXT(10) default '未执行'
);
create unique index ix_pact_code on t_pact (PactCode);
create unique index ix_pact_name on t_pact (PactName);

-- Fund plan of a contract: planned receipts ("收款") and payments ("付款"). f_check is
-- "未完成" until the row is marked settled, which writes "已完成" and the settlement date
-- sjdate. pactmoneyid is written unquoted into update statements, so it is a number.
-- Remark is a free note the grids offer beside the named columns.
create table t_pact_zj (
  pactmoneyid COUNTER,
  PactCode    TEXT(50),
  zjtype      TEXT(10),          -- drop-down list "资金性质"
  money       CURRENCY,
  jhdate      DATETIME,          -- planned
  sjdate      DATETIME,          -- settled
  Method      TEXT(50),          -- drop-down list "资金结算"
  f_check     TEXT(10) default '未完成',
  Remark      TEXT(255)
);
create index ix_pact_zj_code on t_pact_zj (PactCode);

-- Delivery plan of a contract. The program names only PactCode and f_check; the other
-- columns are what a delivery line needs in the grids: what is delivered (name, model
-- and size, unit), how much at which price, when and where. Amount is typed, not
-- computed. f_check is "未完成" or "已完成", like the fund plan; there is no settlement date.
create table t_pact_jh (
  jhid       COUNTER,
  PactCode   TEXT(50),
  GoodsName  TEXT(100),
  GoodsUnit  TEXT(50),           -- model and size
  Units      TEXT(20),           -- unit of measure
  Number     DOUBLE,
  Price      DOUBLE,
  Money      CURRENCY,
  jhdate     DATETIME,           -- planned delivery date
  Place      TEXT(100),          -- place of delivery
  f_check    TEXT(10) default '未完成',
  Remark     TEXT(255)
);
create index ix_pact_jh_code on t_pact_jh (PactCode);

-- Documents attached to a contract: copies in PactDoc\ under their own file name. The
-- program checks the name against every stored document; no unique index, because two
-- files of one name attached before a save are accepted by the edit window and a refusal
-- would undo the whole contract save. DocType takes the drop-down list "合同文件".
create table t_pact_doc (
  DocID      COUNTER,
  PactCode   TEXT(50),
  DocName    TEXT(255),
  DocType    TEXT(50),
  DocPath    TEXT(255),
  DocDate    DATETIME
);
create index ix_pact_doc_code on t_pact_doc (PactCode);
create index ix_pact_doc_name on t_pact_doc (DocName);

-- Invoices of a contract, entered directly in the contract list's invoice grid. The
-- program names only PactCode; an invoice is: its number, its kind (drop-down list
-- "发票类型"), whether it belongs to a receipt or a payment ("资金性质"), amount, date,
-- state (drop-down list "发票状态") and a note. No default state: the user picks one.
create table t_pact_fp (
  fpid       COUNTER,
  PactCode   TEXT(50),
  fpcode     TEXT(50),
  fptype     TEXT(50),
  zjtype     TEXT(10),
  fpmoney    CURRENCY,
  fpdate     DATETIME,
  fpstate    TEXT(20),
  Remark     TEXT(255)
);
create index ix_pact_fp_code on t_pact_fp (PactCode);

-- Stored query of the fund plan with its contract, read by the receipt and payment
-- schedules and the reminder. Every column of the fund-plan row comes through (its
-- f_check, not the contract's), plus the contract's name, project, manager, customer and
-- type code. A left join: a fund-plan row whose contract is missing still reaches the
-- reminder instead of silently dropping out of it.
create view s_pactzj as
select z.*, p.PactName, p.PrjName, p.PrjMan, p.CustName, p.typecode
from t_pact_zj z left join t_pact p on p.PactCode = z.PactCode;


-- ============================================================================ projects

-- Projects. f_check is "执行中", "已终止" or "已结束"; a new project starts "执行中".
-- Code and name are unique for the same reason as the contract's.
create table dict_prj (
  PrjCode    TEXT(50) not null,
  PrjName    TEXT(100) not null,
  PrjType    TEXT(50),           -- free text
  CustName   TEXT(100),
  PrjMan     TEXT(50),
  PrjDate    DATETIME,           -- set up on
  BeginDate  DATETIME,
  EndDate    DATETIME,
  PrjNote    MEMO,
  f_check    TEXT(10) default '执行中'
);
create unique index ix_prj_code on dict_prj (PrjCode);
create unique index ix_prj_name on dict_prj (PrjName);

-- Documents of a project: copies in PrjDoc\. DocType takes the drop-down list "附件类型".
create table dict_prj_detail (
  DocID      COUNTER,
  PrjCode    TEXT(50),
  DocName    TEXT(255),
  DocType    TEXT(50),
  DocPath    TEXT(255),
  DocDate    DATETIME
);
create index ix_prj_detail_code on dict_prj_detail (PrjCode);
create index ix_prj_detail_name on dict_prj_detail (DocName);


-- ============================================================================ employees

-- Employees; contracts and projects name their manager by EmpName, so names are not
-- unique (two people may share one). age is the digits typed, kept as text. Place is the
-- position from the drop-down list "员工身份"; typecode the department's code (dict_cate
-- 'depart').
create table dict_emp (
  empid      COUNTER,
  EmpName    TEXT(50),
  EmpSex     TEXT(2),
  age        TEXT(10),
  Phone      TEXT(50),
  Email      TEXT(100),
  InDate     DATETIME,
  Depart     TEXT(50),
  Place      TEXT(50),
  Remark     MEMO,
  typecode   TEXT(30)
);


-- ============================================================================ customers

-- Customers and suppliers (CustType "客户" or "供应商"). CustID orders the list. The code is
-- unique; the name is not checked by the program and stays free. f_check is written
-- "未提交" by every save. Contact and the use of CustType as a category code belong to the
-- older record windows, which share this table.
create table t_custom (
  CustID     COUNTER,
  CustCode   TEXT(50) not null,
  CustName   TEXT(100),
  CustType   TEXT(50),
  Country    TEXT(50),
  CustArea   TEXT(50),
  Address    TEXT(200),
  Zip        TEXT(20),
  Phone      TEXT(50),
  WebSite    TEXT(100),
  CustMan    TEXT(50),           -- legal representative
  ZZMoney    CURRENCY,           -- registered capital, in yuan
  Bank       TEXT(100),
  BankID     TEXT(50),           -- account number
  ZContact   TEXT(50),           -- main contact person and his particulars
  ZMobile    TEXT(50),
  ZPhone     TEXT(50),
  ZFax       TEXT(50),
  ZPlace     TEXT(50),
  ZEmail     TEXT(100),
  Remark     MEMO,
  Maker      TEXT(50),           -- the user who created the customer
  f_check    TEXT(10) default '未提交',
  Contact    TEXT(50)
);
create unique index ix_custom_code on t_custom (CustCode);

-- Contact persons of a customer, entered in the customer window's contact grid. The
-- program names only CustCode; a contact is a person with department, position and the
-- usual ways to reach him.
create table t_cust_contact (
  ContactID   COUNTER,
  CustCode    TEXT(50),
  ContactName TEXT(50),
  Sex         TEXT(2),
  Depart      TEXT(50),
  Place       TEXT(50),
  Phone       TEXT(50),
  Mobile      TEXT(50),
  Fax         TEXT(50),
  Email       TEXT(100),
  Remark      TEXT(255)
);
create index ix_cust_contact_code on t_cust_contact (CustCode);


-- ============================================================================ users

-- Users. The login list shows the second column, so UserName must stay second. Passwords
-- are plain text and may be empty. qxlist holds the names of the rights granted, each
-- followed by ','; a right is held when its name occurs in it.
create table tUser (
  userid     COUNTER,
  UserName   TEXT(50),
  password   TEXT(50) default '',
  qxlist     MEMO
);

-- Present in every database of the program; nothing reads a result of it.
create table admin (
  username   TEXT(50)
);

-- The first user, "Admin" with an empty password, holds every right, in the order the
-- rights window writes them.
insert into tUser (UserName, password, qxlist) values ('Admin', '',
  'Pact_Add,Pact_Edit,Pact_Del,Pact_Print,Pact_M,Pact_Doc,Pact_FP,Pact_ZJ,Pact_JH,Prj_Add,Prj_Edit,Prj_Del,Prj_Print,Prj_M,Prj_Doc,Cust_Add,Cust_Edit,Cust_Del,Cust_Print,Cust_M,Cust_Exp,Emp_Add,Emp_Edit,Emp_Del,Emp_Print,Emp_M,MoneyIn,MoneyOut,UserQX,BackUp,Resume,Set_Option,PactChart,');


-- ============================================================================ categories

-- Category codes of departments ('depart') and contract types ('pacttype'), two digits a
-- level. The trees take their root from the window that shows them, so no row is needed
-- and none is delivered: the user sets up his own types and departments. One code per
-- kind: a second row of the same code would make two nodes that every delete removes
-- together.
create table dict_cate (
  code       TEXT(30),
  name       TEXT(50),
  TableName  TEXT(20)
);
create unique index ix_cate_code on dict_cate (TableName, code);

-- Customer categories (also the document categories of the older records).
create table Category_Cust (
  code       TEXT(30),
  name       TEXT(50)
);
create unique index ix_category_cust_code on Category_Cust (code);


-- ============================================================================ settings

-- Program settings, one row: the program name (window caption and application title),
-- the version shown right after it, decimal places of quantities, prices and amounts
-- (0 to 10), two values read at start without effect, and the reminder window in days.
create table T_SoftInfo (
  SoftName   TEXT(100),
  Version    TEXT(50),
  DotNumber  INTEGER,
  DotPrice   INTEGER,
  DotMoney   INTEGER,
  lines      INTEGER,
  last       INTEGER,
  txday      INTEGER
);
-- A week of warning before a receipt or payment falls due.
insert into T_SoftInfo (SoftName, Version, DotNumber, DotPrice, DotMoney, lines, last, txday)
  values ('沃岚工程合同管理软件', 'V1.0', 2, 2, 2, 0, 0, 7);

-- The user's own company. No row is delivered: the company window appends the first row
-- when it is saved.
create table T_Company (
  Company    TEXT(100),
  Contact    TEXT(50),
  Address    TEXT(200),
  Zip        TEXT(10),
  Tel        TEXT(50),
  Fax        TEXT(50),
  Email      TEXT(100)
);

-- Fixed lists offered in grid cells and dialogs: one row per entry of the list named by
-- tablename, in ShowID order (the employee dialog reads its list in id order; the rows
-- below give both the same order).
create table dict_combo (
  id         COUNTER,
  tablename  TEXT(50),
  name       TEXT(100),
  ShowID     INTEGER
);

-- Positions of employees.
insert into dict_combo (tablename, name, ShowID) values ('员工身份', '总经理', 1);
insert into dict_combo (tablename, name, ShowID) values ('员工身份', '部门经理', 2);
insert into dict_combo (tablename, name, ShowID) values ('员工身份', '项目经理', 3);
insert into dict_combo (tablename, name, ShowID) values ('员工身份', '工程师', 4);
insert into dict_combo (tablename, name, ShowID) values ('员工身份', '职员', 5);
-- Kinds of project documents.
insert into dict_combo (tablename, name, ShowID) values ('附件类型', '图纸', 1);
insert into dict_combo (tablename, name, ShowID) values ('附件类型', '技术资料', 2);
insert into dict_combo (tablename, name, ShowID) values ('附件类型', '会议纪要', 3);
insert into dict_combo (tablename, name, ShowID) values ('附件类型', '照片', 4);
insert into dict_combo (tablename, name, ShowID) values ('附件类型', '其他', 5);
-- Kinds of contract documents.
insert into dict_combo (tablename, name, ShowID) values ('合同文件', '合同正本', 1);
insert into dict_combo (tablename, name, ShowID) values ('合同文件', '补充协议', 2);
insert into dict_combo (tablename, name, ShowID) values ('合同文件', '变更文件', 3);
insert into dict_combo (tablename, name, ShowID) values ('合同文件', '结算文件', 4);
insert into dict_combo (tablename, name, ShowID) values ('合同文件', '其他', 5);
-- Direction of a fund-plan row or an invoice: exactly the two words the schedules select.
insert into dict_combo (tablename, name, ShowID) values ('资金性质', '收款', 1);
insert into dict_combo (tablename, name, ShowID) values ('资金性质', '付款', 2);
-- Settlement methods.
insert into dict_combo (tablename, name, ShowID) values ('资金结算', '现金', 1);
insert into dict_combo (tablename, name, ShowID) values ('资金结算', '银行转账', 2);
insert into dict_combo (tablename, name, ShowID) values ('资金结算', '支票', 3);
insert into dict_combo (tablename, name, ShowID) values ('资金结算', '电汇', 4);
insert into dict_combo (tablename, name, ShowID) values ('资金结算', '银行承兑汇票', 5);
-- Kinds of invoices.
insert into dict_combo (tablename, name, ShowID) values ('发票类型', '增值税专用发票', 1);
insert into dict_combo (tablename, name, ShowID) values ('发票类型', '增值税普通发票', 2);
insert into dict_combo (tablename, name, ShowID) values ('发票类型', '电子发票', 3);
insert into dict_combo (tablename, name, ShowID) values ('发票类型', '收据', 4);
-- States of invoices.
insert into dict_combo (tablename, name, ShowID) values ('发票状态', '未开票', 1);
insert into dict_combo (tablename, name, ShowID) values ('发票状态', '已开票', 2);
insert into dict_combo (tablename, name, ShowID) values ('发票状态', '已收票', 3);
insert into dict_combo (tablename, name, ShowID) values ('发票状态', '已作废', 4);

-- Steps of the data initialisation: the name shown, one statement, and whether the step
-- is offered. The offered steps empty the records of the live windows and keep users,
-- settings, lists and categories. The older records' tables get steps too, not offered,
-- because their windows cannot be reached; setting F_Flag offers them.
create table Dict_ClearData (
  Action     TEXT(50),
  SQL        MEMO,
  F_Flag     BIT
);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('合同信息', 'delete from t_pact', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('合同资金计划', 'delete from t_pact_zj', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('合同交货计划', 'delete from t_pact_jh', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('合同文件', 'delete from t_pact_doc', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('合同发票', 'delete from t_pact_fp', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('项目信息', 'delete from dict_prj', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('项目文件', 'delete from dict_prj_detail', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('客户信息', 'delete from t_custom', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('客户联系人', 'delete from t_cust_contact', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('员工信息', 'delete from dict_emp', true);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同', 'delete from T_ht', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同变更', 'delete from T_htBG', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同报量', 'delete from T_htBl', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同索赔', 'delete from T_htsp', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同结算', 'delete from T_htJS', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版付款计划', 'delete from T_HTfk', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同付款', 'delete from T_HTfk1', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同文档', 'delete from T_HTwd', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版收款计划', 'delete from T_htsk', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版合同收款', 'delete from T_htsk1', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('单据', 'delete from T_Bill', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('单据明细', 'delete from T_BillDetail', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('货品资料', 'delete from T_Goods', false);
insert into Dict_ClearData (Action, SQL, F_Flag) values ('旧版工程项目', 'delete from T_Project', false);


-- ============================================================================ grid columns

-- Columns of every list, per list name (TableName): dataset field, title, width in pixels,
-- order, shown or not, footer sum (1), always-shown ellipsis button (1), decimal class
-- (1 quantity, 2 price, 3 amount, 0 none), colour (no effect), drop-down list name, and
-- the field's kind: 'date' keeps a column out of the search fields that cannot match a
-- date, 'text', 'memo' and 'number' for the rest. The kind is never NULL, because the
-- search-field lists select "fieldtype<>'date'" and a NULL would drop the row.
-- The first searchable row of a list is the column its window searches at opening with an
-- empty key, which finds only rows where that column is filled: it is a required column.
-- Amounts carry footer sums; hidden rows are the keys and notes the user may show with the
-- column chooser. No list has an ellipsis button: no window answers one.
create table T_FieldShow (
  id          COUNTER,
  TableName   TEXT(50),
  Field       TEXT(50),
  Name        TEXT(50),
  Width       INTEGER default 80,
  ShowID      INTEGER default 0,
  show        BIT default true,
  SumField    INTEGER default 0,
  ShowButton  INTEGER default 0,
  DotSize     INTEGER default 0,
  Color       TEXT(20) default '',
  Dict_Combo  TEXT(50) default '',
  fieldtype   TEXT(20) default 'text' not null
);

-- Contract list ("Pact" is the same list: names compare without regard to case).
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PactCode',  '合同编号', 100,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PactName',  '合同名称', 160,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PactType',  '合同类型',  90,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PactMoney', '合同金额', 100,  4, true,  1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'CustName',  '客户名称', 150,  5, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PrjName',   '项目名称', 150,  6, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PrjMan',    '项目经理',  80,  7, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PactDate',  '建立日期',  85,  8, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'BeginDate', '起始日期',  85,  9, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'EndDate',   '终止日期',  85, 10, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'f_check',   '合同状态',  70, 11, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PactNote',  '合同说明', 200, 12, false, 0, 0, 0, '', '', 'memo');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'PactCNote', '变更说明', 200, 13, false, 0, 0, 0, '', '', 'memo');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact', 'typecode',  '类型编码',  80, 14, false, 0, 0, 0, '', '', 'text');

-- Documents of the current contract, and of the contract being edited.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc', 'DocName',  '文件名称', 180, 1, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc', 'DocType',  '文件类型',  90, 2, true,  0, 0, 0, '', '合同文件', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc', 'DocDate',  '上传日期',  85, 3, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc', 'DocPath',  '文件路径', 300, 4, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc', 'PactCode', '合同编号', 100, 5, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc', 'DocID',    '序号',      50, 6, false, 0, 0, 0, '', '',         'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc_add', 'DocName',  '文件名称', 180, 1, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc_add', 'DocType',  '文件类型',  90, 2, true,  0, 0, 0, '', '合同文件', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc_add', 'DocDate',  '上传日期',  85, 3, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc_add', 'DocPath',  '文件路径', 300, 4, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc_add', 'PactCode', '合同编号', 100, 5, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_doc_add', 'DocID',    '序号',      50, 6, false, 0, 0, 0, '', '',         'number');

-- Fund plan of the current contract. In the edit window the state and the settlement date
-- are hidden: the contract list's commands set them.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'zjtype',      '资金性质',  70, 1, true,  0, 0, 0, '', '资金性质', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'money',       '金额',     100, 2, true,  1, 0, 3, '', '',         'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'jhdate',      '计划日期',  85, 3, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'Method',      '结算方式',  90, 4, true,  0, 0, 0, '', '资金结算', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'f_check',     '完成状态',  70, 5, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'sjdate',      '实际日期',  85, 6, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'Remark',      '备注',     200, 7, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'PactCode',    '合同编号', 100, 8, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj', 'pactmoneyid', '序号',      50, 9, false, 0, 0, 0, '', '',         'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'zjtype',      '资金性质',  70, 1, true,  0, 0, 0, '', '资金性质', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'money',       '金额',     100, 2, true,  1, 0, 3, '', '',         'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'jhdate',      '计划日期',  85, 3, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'Method',      '结算方式',  90, 4, true,  0, 0, 0, '', '资金结算', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'Remark',      '备注',     200, 5, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'f_check',     '完成状态',  70, 6, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'sjdate',      '实际日期',  85, 7, false, 0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'PactCode',    '合同编号', 100, 8, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_zj_add', 'pactmoneyid', '序号',      50, 9, false, 0, 0, 0, '', '',         'number');

-- Delivery plan of the current contract, and of the contract being edited.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'GoodsName', '货物名称',   150,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'GoodsUnit', '规格型号',   100,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'Units',     '单位',        50,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'Number',    '数量',        70,  4, true,  0, 0, 1, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'Price',     '单价',        80,  5, true,  0, 0, 2, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'Money',     '金额',       100,  6, true,  1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'jhdate',    '计划交货日期', 90,  7, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'Place',     '交货地点',   120,  8, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'f_check',   '完成状态',    70,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'Remark',    '备注',       200, 10, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'PactCode',  '合同编号',   100, 11, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh', 'jhid',      '序号',        50, 12, false, 0, 0, 0, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'GoodsName', '货物名称',   150,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'GoodsUnit', '规格型号',   100,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'Units',     '单位',        50,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'Number',    '数量',        70,  4, true,  0, 0, 1, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'Price',     '单价',        80,  5, true,  0, 0, 2, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'Money',     '金额',       100,  6, true,  1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'jhdate',    '计划交货日期', 90,  7, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'Place',     '交货地点',   120,  8, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'Remark',    '备注',       200,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'f_check',   '完成状态',    70, 10, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'PactCode',  '合同编号',   100, 11, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_jh_add', 'jhid',      '序号',        50, 12, false, 0, 0, 0, '', '', 'number');

-- Invoices of the current contract (an editable grid: the drop-down lists matter here).
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'fpcode',   '发票号码', 110, 1, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'fptype',   '发票类型', 110, 2, true,  0, 0, 0, '', '发票类型', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'zjtype',   '资金性质',  70, 3, true,  0, 0, 0, '', '资金性质', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'fpmoney',  '发票金额', 100, 4, true,  1, 0, 3, '', '',         'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'fpdate',   '开票日期',  85, 5, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'fpstate',  '发票状态',  80, 6, true,  0, 0, 0, '', '发票状态', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'Remark',   '备注',     180, 7, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'PactCode', '合同编号', 100, 8, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('pact_fp', 'fpid',     '序号',      50, 9, false, 0, 0, 0, '', '',         'number');

-- Project list.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'PrjCode',   '项目编号', 100,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'PrjName',   '项目名称', 160,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'PrjType',   '项目类型',  90,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'CustName',  '客户名称', 150,  4, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'PrjMan',    '项目经理',  80,  5, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'PrjDate',   '建立日期',  85,  6, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'BeginDate', '起始日期',  85,  7, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'EndDate',   '终止日期',  85,  8, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'f_check',   '项目状态',  70,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj', 'PrjNote',   '项目说明', 200, 10, false, 0, 0, 0, '', '', 'memo');

-- Documents of the current project, and of the project being edited.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail', 'DocName', '文件名称', 180, 1, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail', 'DocType', '附件类型',  90, 2, true,  0, 0, 0, '', '附件类型', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail', 'DocDate', '上传日期',  85, 3, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail', 'DocPath', '文件路径', 300, 4, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail', 'PrjCode', '项目编号', 100, 5, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail', 'DocID',   '序号',      50, 6, false, 0, 0, 0, '', '',         'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail_add', 'DocName', '文件名称', 180, 1, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail_add', 'DocType', '附件类型',  90, 2, true,  0, 0, 0, '', '附件类型', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail_add', 'DocDate', '上传日期',  85, 3, true,  0, 0, 0, '', '',         'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail_add', 'DocPath', '文件路径', 300, 4, true,  0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail_add', 'PrjCode', '项目编号', 100, 5, false, 0, 0, 0, '', '',         'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_prj_detail_add', 'DocID',   '序号',      50, 6, false, 0, 0, 0, '', '',         'number');

-- Employee list.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'EmpName',  '姓名',      80,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'EmpSex',   '性别',      50,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'age',      '年龄',      50,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'Depart',   '部门',     100,  4, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'Place',    '身份',      80,  5, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'Phone',    '联系电话', 110,  6, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'Email',    'E-mail',   150,  7, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'InDate',   '入职时间',  85,  8, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'Remark',   '备注',     200,  9, true,  0, 0, 0, '', '', 'memo');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'typecode', '部门编码',  80, 10, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('dict_emp', 'empid',    '序号',      50, 11, false, 0, 0, 0, '', '', 'number');

-- Customer list: the second searchable row (the customer name) is the one its search
-- preselects.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'CustCode', '客户编号',    90,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'CustName', '客户名称',   180,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'CustType', '客户类型',    70,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'ZContact', '主要联系人',  80,  4, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'ZPhone',   '办公电话',   100,  5, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'ZMobile',  '移动电话',   100,  6, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'Phone',    '电话',       100,  7, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'Address',  '地址',       200,  8, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'CustArea', '地区',        80,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'Maker',    '建立人',      70, 10, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'f_check',  '状态',        60, 11, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'Country',  '国家',        60, 12, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'Zip',      '邮编',        60, 13, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'WebSite',  '网址',       140, 14, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'CustMan',  '法定代表人',  80, 15, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'ZZMoney',  '注册资金',   100, 16, false, 0, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'Bank',     '开户银行',   140, 17, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'BankID',   '账号',       140, 18, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'ZFax',     '传真',       100, 19, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'ZPlace',   '部门职位',    90, 20, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'ZEmail',   'E-Mail',     140, 21, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'Remark',   '客户说明',   200, 22, false, 0, 0, 0, '', '', 'memo');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Custom', 'CustID',   '序号',        50, 23, false, 0, 0, 0, '', '', 'number');

-- Contact persons of the current customer, and of the customer being edited.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'ContactName', '姓名',      80,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Sex',         '性别',      50,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Depart',      '部门',      90,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Place',       '职位',      90,  4, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Phone',       '办公电话', 110,  5, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Mobile',      '移动电话', 110,  6, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Fax',         '传真',     110,  7, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Email',       'E-Mail',   150,  8, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'Remark',      '备注',     200,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'CustCode',    '客户编号',  90, 10, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContact', 'ContactID',   '序号',      50, 11, false, 0, 0, 0, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'ContactName', '姓名',      80,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Sex',         '性别',      50,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Depart',      '部门',      90,  3, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Place',       '职位',      90,  4, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Phone',       '办公电话', 110,  5, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Mobile',      '移动电话', 110,  6, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Fax',         '传真',     110,  7, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Email',       'E-Mail',   150,  8, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'Remark',      '备注',     200,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'CustCode',    '客户编号',  90, 10, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('CustContactAdd', 'ContactID',   '序号',      50, 11, false, 0, 0, 0, '', '', 'number');

-- Receipt and payment schedules and the reminder: the stored query with the computed
-- days to the planned date (xcday, negative when overdue). Every row of one list has
-- the same direction, so zjtype is hidden.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'PactName',    '合同名称', 160,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'CustName',    '客户名称', 150,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'money',       '收款金额', 100,  3, true,  1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'jhdate',      '计划日期',  85,  4, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'xcday',       '相差天数',  70,  5, true,  0, 0, 0, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'f_check',     '完成状态',  70,  6, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'sjdate',      '实际日期',  85,  7, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'Method',      '结算方式',  90,  8, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'PrjName',     '项目名称', 150,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'PrjMan',      '项目经理',  80, 10, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'Remark',      '备注',     200, 11, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'zjtype',      '资金性质',  70, 12, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'PactCode',    '合同编号', 100, 13, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'typecode',    '类型编码',  80, 14, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyin', 'pactmoneyid', '序号',      50, 15, false, 0, 0, 0, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'PactName',    '合同名称', 160,  1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'CustName',    '客户名称', 150,  2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'money',       '付款金额', 100,  3, true,  1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'jhdate',      '计划日期',  85,  4, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'xcday',       '相差天数',  70,  5, true,  0, 0, 0, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'f_check',     '完成状态',  70,  6, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'sjdate',      '实际日期',  85,  7, true,  0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'Method',      '结算方式',  90,  8, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'PrjName',     '项目名称', 150,  9, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'PrjMan',      '项目经理',  80, 10, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'Remark',      '备注',     200, 11, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'zjtype',      '资金性质',  70, 12, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'PactCode',    '合同编号', 100, 13, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'typecode',    '类型编码',  80, 14, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('moneyout', 'pactmoneyid', '序号',      50, 15, false, 0, 0, 0, '', '', 'number');

-- Users in the rights window: names and passwords are edited in the grid.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('UserQX', 'UserName', '用户名称', 120, 1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('UserQX', 'password', '用户密码', 100, 2, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('UserQX', 'userid',   '编号',      50, 3, false, 0, 0, 0, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('UserQX', 'qxlist',   '权限',     200, 4, false, 0, 0, 0, '', '', 'memo');

-- Entries of one drop-down list in the list window.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('combo', 'name',      '下拉内容', 200, 1, true,  0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('combo', 'ShowID',    '显示顺序',  70, 2, true,  0, 0, 0, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('combo', 'tablename', '下拉名称', 100, 3, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('combo', 'id',        '序号',      50, 4, false, 0, 0, 0, '', '', 'number');

-- The record picker over customers, projects and employees. Its first row is the column
-- handed back, which every record has.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('custselect', 'CustName', '客户名称',   180, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('custselect', 'CustCode', '客户编号',    90, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('custselect', 'CustType', '客户类型',    70, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('custselect', 'ZContact', '主要联系人',  80, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('custselect', 'ZPhone',   '办公电话',   100, 5, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('custselect', 'Address',  '地址',       200, 6, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('prjselect', 'PrjName',   '项目名称', 160, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('prjselect', 'PrjCode',   '项目编号', 100, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('prjselect', 'PrjType',   '项目类型',  90, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('prjselect', 'CustName',  '客户名称', 150, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('prjselect', 'PrjMan',    '项目经理',  80, 5, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('prjselect', 'BeginDate', '起始日期',  85, 6, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('prjselect', 'EndDate',   '终止日期',  85, 7, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('empselect', 'EmpName', '姓名',      80, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('empselect', 'EmpSex',  '性别',      50, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('empselect', 'Depart',  '部门',     100, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('empselect', 'Place',   '身份',      80, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('empselect', 'Phone',   '联系电话', 110, 5, true, 0, 0, 0, '', '', 'text');


-- ============================================================================ older records

-- The tables of the older generation of records. Their windows bind fields by these
-- names and types (text with its length, float as DOUBLE, money as CURRENCY, dates,
-- memos, counters), so the columns follow those windows exactly. Links are by code or
-- name, as in the live tables.

-- Contracts of the older records; HTCode is the key the record tables carry.
create table T_ht (
  HTType     TEXT(50),           -- category code, Category_HT
  HTCode     TEXT(50),
  HTName     TEXT(100),
  HTjf       TEXT(50),           -- party A, an internal unit's Name
  HTyf       TEXT(50),           -- party B, a customer's CustName
  HTmoney    DOUBLE,
  HTyfk      DOUBLE,             -- settlement price
  Remark     MEMO,
  BZBL       DOUBLE,             -- deposit ratio, per cent
  BZJ        DOUBLE,             -- deposit
  HTprice    DOUBLE,
  HTnumber   DOUBLE,
  JKXZ       TEXT(50),           -- price nature
  ZFFS       TEXT(50),           -- payment method
  QDdate     DATETIME,           -- signed on
  Begindate  DATETIME,
  Enddate    DATETIME,
  HTpoject   TEXT(50),           -- a T_Project ProjectName
  HTDFQY     TEXT(50),           -- the other party's signatory
  HTWFQY     TEXT(50),           -- own signatory
  SPZT       TEXT(50)            -- "未审批" or "已审批"
);
create index ix_ht_code on T_ht (HTCode);

-- Changes of a contract.
create table T_htBG (
  bDID       COUNTER,
  HTCode     TEXT(50),
  BGname     TEXT(50),
  BGcode     TEXT(50),
  BGmoney    DOUBLE,
  QRzt       TEXT(50),           -- "已确认" or "未确认"
  BGtype     TEXT(50),
  JSr        TEXT(50),
  BGDate     DATETIME,
  BGyy       MEMO,               -- reason
  memo       MEMO
);
create index ix_htbg_code on T_htBG (HTCode);

-- Quantity reports of a contract.
create table T_htBl (
  BLID       COUNTER,
  HTCode     TEXT(50),
  blname     TEXT(50),
  blcode     TEXT(50),
  blmoney    DOUBLE,
  JSr        TEXT(50),
  blDate     DATETIME,
  memo       MEMO
);
create index ix_htbl_code on T_htBl (HTCode);

-- Claims of a contract.
create table T_htsp (
  SPID       COUNTER,
  HTCode     TEXT(50),
  SPname     TEXT(50),
  SPcode     TEXT(50),
  SPmoney    DOUBLE,
  SPtype     TEXT(50),
  JSr        TEXT(50),
  SPDate     DATETIME,
  memo       MEMO,
  qrzt       TEXT(50)
);
create index ix_htsp_code on T_htsp (HTCode);

-- Settlements of a contract.
create table T_htJS (
  JSID       COUNTER,
  HTCode     TEXT(50),
  JSname     TEXT(50),
  JScode     TEXT(50),
  JSmoney    DOUBLE,
  JSr        TEXT(50),
  jsDate     DATETIME,
  memo       MEMO
);
create index ix_htjs_code on T_htJS (HTCode);

-- Payment plan of a contract; Wczt is "未完成 " (with its blank) or "已完成".
create table T_HTfk (
  fkID       COUNTER,
  HTCode     TEXT(50),
  jhname     TEXT(50),
  Wczt       TEXT(50),
  jhmoney    DOUBLE,
  ZXDate     DATETIME,
  memo       MEMO
);
create index ix_htfk_code on T_HTfk (HTCode);

-- Payments of a contract. The windows fix no key and no widths here: fkID is the row's
-- number and the texts take the width of the other record tables.
create table T_HTfk1 (
  fkID       COUNTER,
  HTCode     TEXT(50),
  fkname     TEXT(50),
  fkcode     TEXT(50),
  fkDate     DATETIME,
  fkmoney    DOUBLE,
  jsmoney    DOUBLE,             -- settlement amount
  wfmoney    DOUBLE,             -- contract amount less this payment
  memo       MEMO,
  jsr        TEXT(50)
);
create index ix_htfk1_code on T_HTfk1 (HTCode);

-- Documents of a contract; wdtype is a code of Category_Cust.
create table T_HTwd (
  WDID       COUNTER,
  HTCode     TEXT(50),
  wdname     TEXT(50),
  wdcode     TEXT(50),
  wddx       TEXT(50),           -- size
  bzcust     TEXT(50),           -- compiled by
  bzDate     DATETIME,
  memo       MEMO,
  wdtype     TEXT(50),
  wdlj       TEXT(255)           -- path
);
create index ix_htwd_code on T_HTwd (HTCode);

-- Receipt plan of a contract.
create table T_htsk (
  skID       COUNTER,
  HTCode     TEXT(50),
  jhname     TEXT(50),
  Wczt       TEXT(50),
  money      DOUBLE,
  ZXDate     DATETIME,
  memo       MEMO
);
create index ix_htsk_code on T_htsk (HTCode);

-- Receipts of a contract.
create table T_htsk1 (
  skID       COUNTER,
  HTCode     TEXT(50),
  Skname     TEXT(50),
  skcode     TEXT(50),
  skmoney    DOUBLE,
  skDate     DATETIME,
  memo       MEMO,
  jsr        TEXT(50)
);
create index ix_htsk1_code on T_htsk1 (HTCode);

-- Goods.
create table T_Goods (
  GoodsID    COUNTER,
  GoodsType  TEXT(50),           -- category code, Category_Goods
  GoodsCode  TEXT(50),
  GoodsName  TEXT(100),
  GoodsUnit  TEXT(50),           -- model and size
  Units      TEXT(50),           -- unit of measure, from Dict_Units
  OutPrice   DOUBLE,
  InPrice    DOUBLE,
  BarCode    TEXT(50),
  DepotUp    DOUBLE,
  DepotDown  DOUBLE,
  Remark1    TEXT(120),
  Remark2    TEXT(120),
  EnName     TEXT(50),
  Price1     DOUBLE,
  Price2     DOUBLE,
  Price3     DOUBLE,
  Price4     DOUBLE,
  Remark3    TEXT(50),
  Remark4    TEXT(50),
  Remark5    TEXT(50)
);
create index ix_goods_code on T_Goods (GoodsCode);

-- Bills (documents of a stock movement or sale). The windows fix no widths or key here:
-- BillID numbers the rows, texts are 50 wide, the note longer.
create table T_Bill (
  BillID      COUNTER,
  BillCode    TEXT(50),
  AddDate     DATETIME,
  BillType    TEXT(50),          -- a Dict_Bill Name
  OldBill     TEXT(50),
  InOrOut     TEXT(10),
  Memo        TEXT(255),
  Maker       TEXT(50),
  UserName    TEXT(50),          -- handler
  DepotName   TEXT(50),          -- a Dict_DepotName Name
  ProjectCode TEXT(50),
  ProjectName TEXT(50),
  CustName    TEXT(50),
  Department  TEXT(50),
  BillDate    DATETIME,
  OutDate     DATETIME,
  [User]      TEXT(50)
);
create index ix_bill_code on T_Bill (BillCode);

-- Lines of a bill; Money is Number x Price x Discount, kept by the bill window.
create table T_BillDetail (
  BillDetailID COUNTER,
  BillCode   TEXT(50),
  GoodsCode  TEXT(50),
  GoodsName  TEXT(100),
  GoodsUnit  TEXT(50),
  Units      TEXT(20),
  Number     DOUBLE,
  Price      DOUBLE,
  Discount   DOUBLE,
  Money      CURRENCY,
  DetailNote TEXT(200),
  Note2      TEXT(50),
  Note3      TEXT(50),
  Note4      TEXT(50),
  Num1       DOUBLE,
  Num2       DOUBLE,
  Num3       DOUBLE,
  Num4       DOUBLE,
  CustName   TEXT(50)
);
create index ix_billdetail_code on T_BillDetail (BillCode);
create index ix_billdetail_goods on T_BillDetail (GoodsCode);

-- Stored query of the bill search: every bill with each of its lines. The bill's own
-- columns (customer included) come from the bill; a left join, so a bill without lines
-- can still be found by its own columns.
create view S_BillDetail as
select b.BillCode, b.AddDate, b.BillType, b.OldBill, b.InOrOut, b.DepotName, b.UserName,
       b.Maker, b.CustName, b.ProjectCode, b.ProjectName,
       d.BillDetailID, d.GoodsCode, d.GoodsName, d.GoodsUnit, d.Units, d.Number, d.Price,
       d.Discount, d.Money
from T_Bill b left join T_BillDetail d on d.BillCode = b.BillCode;

-- Depots, bill types, units of measure and price natures: short lists read by their
-- second column in id order.
create table Dict_DepotName (
  id         COUNTER,
  Name       TEXT(50)
);
create table Dict_Bill (
  id         COUNTER,
  Name       TEXT(50),
  F_Flag     BIT default true    -- offered in the bill search
);
create table Dict_Units (
  id         COUNTER,
  Name       TEXT(50)
);
create table Dict_Depart (
  id         COUNTER,
  Name       TEXT(50)
);

-- Projects of the older records.
create table T_Project (
  ProjectID   COUNTER,
  ProjectType TEXT(50),          -- category code, Category_Project
  ProjectCode TEXT(50),
  GCName      TEXT(50),          -- works
  ProjectName TEXT(50),
  Leader      TEXT(50),
  GCInvest    CURRENCY,
  BeginDate   DATETIME,
  EndDate     DATETIME,
  GCProperty  TEXT(50),
  GCNote      TEXT(200),
  cust        TEXT(50),          -- responsible internal unit
  place       TEXT(50),          -- building site
  danwei      TEXT(20)           -- building unit, from Dict_Units
);
create index ix_project_code on T_Project (ProjectCode);

-- Internal units ("内部单位").
create table Dict_Employee (
  ID         COUNTER,
  Name       TEXT(50),
  Mobile     TEXT(50),           -- unit code
  sex        TEXT(50),           -- person in charge
  Tel        TEXT(50),
  Email      TEXT(100),
  Address    TEXT(200),
  Zip        TEXT(20),
  Memo       MEMO
);

-- Category trees of goods, older contracts and older projects; codes as in dict_cate.
create table Category_Goods (
  code       TEXT(30),
  name       TEXT(50)
);
create unique index ix_category_goods_code on Category_Goods (code);
create table Category_HT (
  code       TEXT(30),
  name       TEXT(50)
);
create unique index ix_category_ht_code on Category_HT (code);
create table Category_Project (
  code       TEXT(30),
  name       TEXT(50)
);
create unique index ix_category_project_code on Category_Project (code);

-- Contract classifications; fx is the income or expense direction.
create table Dict_htfl (
  ID         COUNTER,
  Name       TEXT(50),
  Note       TEXT(50),
  fx         TEXT(50)
);

-- Column mapping of the spreadsheet import: per kind ('Custom' for contracts, 'Goods'),
-- the target column, its display name and the spreadsheet title that feeds it (a single
-- blank when not imported).
create table T_Import (
  ImportID   COUNTER,
  tablename  TEXT(20),
  S_Field    TEXT(30),
  FieldName  TEXT(50),
  F_Field    TEXT(50) default ' '
);


-- ============================================================================ older records' lists and import

-- Grid columns of the older windows, as for the lists above.
-- The project picker: code first, the column its searches and returns use.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'ProjectCode', '项目编码', 100, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'ProjectName', '项目名称', 150, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'GCName', '工程名称', 150, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'Leader', '负责人', 70, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'ProjectType', '项目分类', 70, 5, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'cust', '负责单位', 120, 6, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'BeginDate', '开始日期', 85, 7, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'EndDate', '竣工日期', 85, 8, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'GCInvest', '工程投资', 100, 9, false, 0, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectProject', 'ProjectID', '序号', 50, 10, false, 0, 0, 0, '', '', 'number');
-- The older project list (its search rebuilds it): every column, the investment summed.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'ProjectCode', '项目编码', 100, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'ProjectName', '项目名称', 150, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'GCName', '工程名称', 150, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'Leader', '负责人', 70, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'GCProperty', '工程性质', 80, 5, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'GCInvest', '工程投资', 100, 6, true, 1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'danwei', '建筑单位', 80, 7, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'cust', '负责单位', 120, 8, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'place', '建筑地点', 120, 9, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'BeginDate', '开始日期', 85, 10, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'EndDate', '竣工日期', 85, 11, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'ProjectType', '项目分类', 70, 12, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'GCNote', '备注', 200, 13, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Project', 'ProjectID', '序号', 50, 14, false, 0, 0, 0, '', '', 'number');
-- The customer picker: the name it returns, the code, contact and category.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectCust', 'CustCode', '客户编码', 90, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectCust', 'CustName', '公司名称', 180, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectCust', 'Contact', '联系人', 80, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectCust', 'CustType', '客户类别', 70, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectCust', 'Phone', '电话', 100, 5, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectCust', 'Address', '地址', 200, 6, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('SelectCust', 'CustID', '序号', 50, 7, false, 0, 0, 0, '', '', 'number');
-- Internal units. The search field list selects its second row at opening: the name.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'Mobile', '单位编码', 90, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'Name', '单位名称', 160, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'sex', '负责人', 70, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'Tel', '电话', 100, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'Email', 'E-Mail', 140, 5, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'Address', '通讯地址', 200, 6, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'Zip', '邮政编码', 70, 7, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'Memo', '备注', 200, 8, false, 0, 0, 0, '', '', 'memo');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('emploee', 'ID', '序号', 50, 9, false, 0, 0, 0, '', '', 'number');
-- Depots.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Dict', 'Name', '仓库名称', 200, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('Dict', 'id', '序号', 50, 2, false, 0, 0, 0, '', '', 'number');
-- Bills of the bill search.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'BillCode', '单据编号', 120, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'AddDate', '日期', 85, 2, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'BillType', '单据类型', 80, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'OldBill', '原单号', 100, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'DepotName', '仓库', 90, 5, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'CustName', '客户', 150, 6, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'ProjectCode', '项目编码', 100, 7, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'ProjectName', '项目名称', 150, 8, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'UserName', '经手人', 70, 9, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'Maker', '制单人', 70, 10, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'InOrOut', '出入库', 50, 11, false, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('AllBill', 'Memo', '备注', 200, 12, false, 0, 0, 0, '', '', 'text');
-- The import's column mapping: the target's name and the spreadsheet title mapped to it.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('import', 'FieldName', '字段名称', 150, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('import', 'F_Field', 'Excel列标题', 180, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('import', 'S_Field', '目标字段', 100, 3, false, 0, 0, 0, '', '', 'text');
-- Unconfirmed changes of the older contracts.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'HTCode', '合同编号', 120, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'BGcode', '变更编号', 120, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'BGname', '变更名称', 150, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'BGtype', '变更类型', 80, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'BGmoney', '变更金额', 100, 5, true, 1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'BGDate', '变更日期', 85, 6, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'JSr', '经手人', 70, 7, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'QRzt', '确认状态', 70, 8, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'BGyy', '变更原因', 200, 9, false, 0, 0, 0, '', '', 'memo');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtbg', 'memo', '备注', 200, 10, false, 0, 0, 0, '', '', 'memo');
-- Unconfirmed claims of the older contracts.
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'HTCode', '合同编号', 120, 1, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'SPcode', '索赔编号', 120, 2, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'SPname', '索赔名称', 150, 3, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'SPtype', '索赔类型', 90, 4, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'SPmoney', '索赔金额', 100, 5, true, 1, 0, 3, '', '', 'number');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'SPDate', '索赔日期', 85, 6, true, 0, 0, 0, '', '', 'date');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'JSr', '经手人', 70, 7, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'qrzt', '确认状态', 70, 8, true, 0, 0, 0, '', '', 'text');
insert into T_FieldShow (TableName, Field, Name, Width, ShowID, show, SumField, ShowButton, DotSize, Color, Dict_Combo, fieldtype) values ('qrhtsp', 'memo', '备注', 200, 9, false, 0, 0, 0, '', '', 'memo');

-- The import's mapping, one row per target column, none mapped yet (a single blank):
-- 'Custom' fills older contracts (T_ht), 'Goods' goods (T_Goods, whose counter is never written).
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTType', '合同类别', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTCode', '合同编号', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTName', '合同名称', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTjf', '合同甲方', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTyf', '合同乙方', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTmoney', '合同金额', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTyfk', '结算价', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'Remark', '备注', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'BZBL', '保证金比例', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'BZJ', '保证金', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTprice', '合同单价', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTnumber', '合同数量', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'JKXZ', '价款性质', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'ZFFS', '支付方式', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'QDdate', '签订日期', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'Begindate', '开始日期', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'Enddate', '结束日期', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTpoject', '所属项目', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTDFQY', '对方签约人', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTWFQY', '我方签约人', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'SPZT', '审批状态', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'GoodsType', '货品类别', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'GoodsCode', '货品编码', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'GoodsName', '货品名称', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'GoodsUnit', '规格型号', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Units', '计量单位', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'OutPrice', '参考售价', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'InPrice', '进价', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'BarCode', '条形码', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'DepotUp', '库存上限', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'DepotDown', '库存下限', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Remark1', '备注1', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Remark2', '备注2', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'EnName', '英文名称', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Price1', '价格1', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Price2', '价格2', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Price3', '价格3', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Price4', '价格4', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Remark3', '备注3', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Remark4', '备注4', ' ');
insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Goods', 'Remark5', '备注5', ' ');
