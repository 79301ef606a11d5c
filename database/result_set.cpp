#include "database/query.h"

namespace db {

TQueryResultSet::~TQueryResultSet() {
    TQueryResultSet::free();
}

int TQueryResultSet::Init(const TDBConnectionPtr& connection, const std::string& sql) {
    conn = connection;
    query = sql;
    return 0;
}

int TQueryResultSet::clearBindValues() {
    if (!boundValues.empty()) {
        for (auto& v : boundValues) {
            if (v) v->clear();
        }
        bindCount = 0;
    }
    for (auto& v : values) {
        if (v) v->clear();
    }
    return 0;
}

TQueryRecordPtr TQueryResultSet::rowRecord() {
    return _isActive == 1 && rec ? rec : TQueryRecord::Create();
}

TDBTypePtr TQueryResultSet::dataValue(int i) const {
    if (_isActive != 1 || !rec || rec->isEmpty() == 1) return nullptr;
    if (i < 0 || i >= rec->count() || static_cast<std::size_t>(i) >= values.size()) return nullptr;
    return values[static_cast<std::size_t>(i)];
}

int TQueryResultSet::resetValues(int count) {
    for (auto& v : values) {
        if (v) v->clear();
    }
    values.assign(static_cast<std::size_t>(count > 0 ? count : 0), nullptr);
    return 0;
}

int TQueryResultSet::bindValue(int i, const TDBTypePtr& v) {
    if (i < 0) return 0;
    auto position = static_cast<std::size_t>(i);
    if (boundValues.size() <= position) boundValues.resize(position + 1);
    if (bindCount < i + 1) bindCount = i + 1;
    auto& slot = boundValues[position];
    // The value bound before is cleared, unless the caller binds that same object again.
    if (slot && slot != v) slot->clear();
    slot = v;
    return 0;
}

int TQueryResultSet::free() {
    clear();
    values.clear();
    boundValues.clear();
    rec.reset();
    return 0;
}

}  // namespace db
