#include "database/table.h"

namespace db {

std::shared_ptr<TDBColumn> TDBColumn::Create(const std::string& name, int dbType, int nullable,
                                             const TDBTypePtr& defaultValue) {
    auto column = std::make_shared<TDBColumn>();
    column->name = name;
    column->dbType = dbType;
    column->nullable = nullable;
    column->defaultValue = defaultValue;
    return column;
}

int TDBTable::SetCountColumns(int count) {
    columns.assign(static_cast<std::size_t>(count > 0 ? count : 0), nullptr);
    return 0;
}

int TDBTable::SetColumn(int index, const std::shared_ptr<TDBColumn>& column) {
    if (index >= 0 && static_cast<std::size_t>(index) < columns.size()) {
        columns[static_cast<std::size_t>(index)] = column;
    }
    return 0;
}

}  // namespace db
