#pragma once
// The rules of the older records that span tables. A contract's records are linked to it by
// its code alone (the database declares no relation), so deleting a contract or changing its
// code is carried to the nine record tables here, in one transaction with the contract's own
// change.
#include "core/System.h"

#include <vector>

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
