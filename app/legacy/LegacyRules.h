#pragma once
// The rules of the older records that span tables. A contract's records are linked to it by
// its code alone (the database declares no relation), so deleting a contract or changing its
// code is carried to the nine record tables here, in one transaction with the contract's own
// change.
#include "core/System.h"

#include <functional>
#include <initializer_list>
#include <vector>

class TDataSet;

struct TLegacyRecordKind;

// The record tables of a contract, in the order a contract's delete empties them.
const std::vector<String>& LegacyRecordTables();

// Deletes the contract HTCode and every record of it in one transaction of the data module's
// connection; a failure rolls all of it back and raises. The open contract and record queries
// are read again afterwards, so none shows a deleted row.
void DeleteLegacyContract(const String& HTCode);
// Moves every record of contract OldCode to NewCode; the caller holds the transaction.
void MoveLegacyRecords(const String& OldCode, const String& NewCode);
// Reads the open record queries (and the contract query) again.
void RefreshLegacyRecordQueries();

// The record of Kind current in its query, deleted after the kind's question (Yes/No):
// true when it was. A closed or empty query asks nothing.
bool DeleteLegacyRecord(const TLegacyRecordKind& Kind);

// ---- goods and depots: bill lines carry a goods code and bills a depot name, so a delete
// or a change of either is carried to them in the same transaction.
extern const char* const LegacySaveFailedText;    // "数据出错,数据不能保存!"
extern const char* const DeleteGoodsQuestion;     // "您确定要删除该货品吗？注意，该货品相应的业务记录也将被删除"

// Runs Work in one transaction: true when it was committed. A failure rolls all of it back,
// is shown (LegacySaveFailedText) and answers false; the queries in Reread are then read
// again, so none keeps a row the database no longer has.
bool LegacySave(const std::function<void()>& Work, std::initializer_list<TDataSet*> Reread);
// The current goods of Qry_Goods, after the question (Yes/No), deleted with its bill lines in
// one transaction: true when it was. A closed or empty query asks nothing.
bool DeleteGoods();
// Bill lines of goods OldCode moved to NewCode; the caller holds the transaction.
void MoveGoodsCode(const String& OldCode, const String& NewCode);
// Bills of depot OldName moved to NewName (trimmed); the caller holds the transaction.
void RenameDepotInBills(const String& OldName, const String& NewName);
