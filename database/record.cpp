#include "database/record.h"

#include <cstdio>

namespace db {

std::shared_ptr<TQueryField> TQueryField::Create(const std::string& name, int fType) {
    auto field = std::make_shared<TQueryField>();
    field->name = name;
    field->fType = fType;
    return field;
}

int TQueryField::clear() {
    value.reset();
    return 0;
}

int TQueryField::setValue(const TDBTypePtr& v) {
    if (v) value = v;
    return 0;
}

std::shared_ptr<TQueryRecord> TQueryRecord::Create() {
    return std::make_shared<TQueryRecord>();
}

TQueryFieldPtr TQueryRecord::getField(int index) const {
    return index >= 0 && index < count() ? fields[static_cast<std::size_t>(index)] : nullptr;
}

TQueryFieldPtr TQueryRecord::getFieldByName(const std::string& name) const {
    for (auto it = fields.rbegin(); it != fields.rend(); ++it) {
        if (*it && (*it)->name == name) return *it;
    }
    return nullptr;
}

int TQueryRecord::indexOf(const std::string& name) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] && fields[i]->name == name) return static_cast<int>(i);
    }
    return -1;
}

int TQueryRecord::setValue(int index, const TDBTypePtr& v) {
    if (auto field = getField(index)) field->setValue(v);
    return 0;
}

TDBTypePtr TQueryRecord::value(int index) const {
    auto field = getField(index);
    return field ? field->value : nullptr;
}

namespace {

TDBTypePtr valueOf(const TQueryFieldPtr& field) {
    return field ? field->value : nullptr;
}

}  // namespace

std::string TQueryRecord::getString(int index) const {
    auto v = value(index);
    return v ? v->getString() : std::string();
}

std::string TQueryRecord::getStringByName(const std::string& name) const {
    auto v = valueOf(getFieldByName(name));
    return v ? v->getString() : std::string();
}

std::int32_t TQueryRecord::getInt(int index) const {
    auto v = value(index);
    return v ? v->getInt() : 0;
}

std::int32_t TQueryRecord::getIntByName(const std::string& name) const {
    auto v = valueOf(getFieldByName(name));
    return v ? v->getInt() : 0;
}

std::int64_t TQueryRecord::getLong(int index) const {
    auto v = value(index);
    return v ? v->getLong() : 0;
}

std::int64_t TQueryRecord::getLongByName(const std::string& name) const {
    auto v = valueOf(getFieldByName(name));
    return v ? v->getLong() : 0;
}

float TQueryRecord::getFloat(int index) const {
    auto v = value(index);
    return v ? v->getFloat() : 0.0f;
}

float TQueryRecord::getFloatByName(const std::string& name) const {
    auto v = valueOf(getFieldByName(name));
    return v ? v->getFloat() : 0.0f;
}

double TQueryRecord::getDouble(int index) const {
    auto v = value(index);
    return v ? v->getDouble() : 0.0;
}

std::string TQueryRecord::getDoubleByName(const std::string& name) const {
    auto v = valueOf(getFieldByName(name));
    if (!v) return {};
    char text[64];
    int length = std::snprintf(text, sizeof text, "%#.17g", v->getDouble());
    return std::string(text, static_cast<std::size_t>(length));
}

int TQueryRecord::clear() {
    for (auto& field : fields) {
        if (field) field->clear();
    }
    fields.clear();
    _empty = 1;
    _isEmptySet = 1;
    return 0;
}

int TQueryRecord::Init(int n) {
    if (!fields.empty()) clear();
    fields.assign(static_cast<std::size_t>(n > 0 ? n : 0), nullptr);
    _empty = 0;
    _isEmptySet = 0;
    return 0;
}

int TQueryRecord::setField(int index, const TQueryFieldPtr& field) {
    if (index >= 0 && index < count()) fields[static_cast<std::size_t>(index)] = field;
    return 0;
}

int TQueryRecord::setIsEmptySet() {
    _isEmptySet = 1;
    return 0;
}

}  // namespace db
