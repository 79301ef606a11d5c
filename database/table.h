#pragma once
// Plain descriptions of a table and its columns, as getTableInfo() answers them.

#include <memory>
#include <string>
#include <vector>

#include "database/dbtypes.h"

namespace db {

class TDBColumn {
public:
    static std::shared_ptr<TDBColumn> Create(const std::string& name, int dbType, int nullable,
                                             const TDBTypePtr& defaultValue);

    std::string name;
    int dbType = 0;
    int nullable = 0;
    TDBTypePtr defaultValue;
};

class TDBTable {
public:
    // Replaces the columns by count Null entries.
    int SetCountColumns(int count);
    int SetColumn(int index, const std::shared_ptr<TDBColumn>& column);

    std::string name;
    std::vector<std::shared_ptr<TDBColumn>> columns;
    std::string ddl;
};

}  // namespace db
