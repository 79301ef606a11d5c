#pragma once
// One result row: a record of named fields, each holding the value object of its column.
// A result set presents every row through the same record object.

#include <memory>
#include <string>
#include <vector>

#include "database/dbtypes.h"

namespace db {

class TQueryField {
public:
    static std::shared_ptr<TQueryField> Create(const std::string& name, int fType);
    int clear();
    // Keeps the old value when given Null.
    int setValue(const TDBTypePtr& v);

    std::string name;
    int fType = 0;  // kind code of the column's declared type
    int length = -1;
    int precision = -1;
    TDBTypePtr value;
    int nullable = -1;
    int dtype = 0;
    int dflags = 0;
};

using TQueryFieldPtr = std::shared_ptr<TQueryField>;

class TQueryRecord {
public:
    static std::shared_ptr<TQueryRecord> Create();

    // Null outside 0 .. count()-1.
    TQueryFieldPtr getField(int index) const;
    // The last field of that exact name, or Null.
    TQueryFieldPtr getFieldByName(const std::string& name) const;
    // The first index of a field of that exact name, or -1.
    int indexOf(const std::string& name) const;
    int count() const { return static_cast<int>(fields.size()); }
    int isEmpty() const { return _empty; }
    int setValue(int index, const TDBTypePtr& v);
    TDBTypePtr value(int index) const;

    // Getters answer the default (empty, 0, 0.0) for a missing field or a Null value.
    std::string getString(int index) const;
    std::string getStringByName(const std::string& name) const;
    std::int32_t getInt(int index) const;
    std::int32_t getIntByName(const std::string& name) const;
    std::int64_t getLong(int index) const;
    std::int64_t getLongByName(const std::string& name) const;
    float getFloat(int index) const;
    float getFloatByName(const std::string& name) const;
    double getDouble(int index) const;
    // The number as text with 17 significant digits ("%#.17lg"); empty when missing.
    std::string getDoubleByName(const std::string& name) const;

    int clear();
    int Init(int count);
    int setField(int index, const TQueryFieldPtr& field);
    int setIsEmptySet();

    int _empty = 1;
    int _isEmptySet = 0;
    // Looked up by name with a scan: rows have few columns, and a per-statement map
    // would cost more than it saves.
    std::vector<TQueryFieldPtr> fields;
};

using TQueryRecordPtr = std::shared_ptr<TQueryRecord>;

}  // namespace db
