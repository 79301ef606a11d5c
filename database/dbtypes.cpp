#include "database/dbtypes.h"

#include <cstring>

#include "runtime/text.h"

namespace db {

std::shared_ptr<TDBString> TDBString::Set(std::string s) {
    auto v = std::make_shared<TDBString>();
    v->setString(std::move(s));
    return v;
}

int TDBString::setString(std::string s) {
    value = std::move(s);
    _isNull = value.empty() ? 1 : 0;
    return 0;
}

int TDBString::size() const {
    return static_cast<int>(rt::Utf16Length(value));
}

int TDBString::clear() {
    value.clear();
    _isNull = 1;
    return 0;
}

std::shared_ptr<TDBInt> TDBInt::Set(std::int32_t n) {
    auto v = std::make_shared<TDBInt>();
    v->setInt(n);
    return v;
}

int TDBInt::setInt(std::int32_t n) {
    value = n;
    _isNull = 0;
    return 0;
}

int TDBInt::clear() {
    value = 0;
    _isNull = 1;
    return 0;
}

std::shared_ptr<TDBDouble> TDBDouble::Set(double d) {
    auto v = std::make_shared<TDBDouble>();
    v->setDouble(d);
    return v;
}

int TDBDouble::setDouble(double d) {
    value = d;
    _isNull = 0;
    return 0;
}

int TDBDouble::clear() {
    value = 0.0;
    _isNull = 1;
    return 0;
}

std::shared_ptr<TDBFloat> TDBFloat::Set(float f) {
    auto v = std::make_shared<TDBFloat>();
    v->setFloat(f);
    return v;
}

int TDBFloat::setFloat(float f) {
    value = f;
    _isNull = 0;
    return 0;
}

int TDBFloat::clear() {
    value = 0.0f;
    _isNull = 1;
    return 0;
}

std::shared_ptr<TDBLong> TDBLong::Set(std::int64_t n) {
    auto v = std::make_shared<TDBLong>();
    v->setLong(n);
    return v;
}

int TDBLong::setLong(std::int64_t n) {
    value = n;
    _isNull = 0;
    return 0;
}

int TDBLong::clear() {
    value = 0;
    _isNull = 1;
    return 0;
}

std::shared_ptr<TDBBlob> TDBBlob::Set(const void* data, int size, int copy) {
    auto v = std::make_shared<TDBBlob>();
    v->setBlob(data, size, copy);
    return v;
}

TDBBlob::~TDBBlob() {
    clear();
}

int TDBBlob::setBlob(const void* data, int size, int copy) {
    if (value != nullptr) clear();
    _size = size;
    if (copy != 0 && _size > 0) {
        auto* bytes = new unsigned char[static_cast<std::size_t>(_size)];
        std::memcpy(bytes, data, static_cast<std::size_t>(_size));
        value = bytes;
        _owner = 1;
    } else {
        value = data;
        _owner = 0;
    }
    _isNull = 0;
    return 0;
}

int TDBBlob::clear() {
    if (value != nullptr) {
        if (_owner == 1) delete[] static_cast<const unsigned char*>(value);
        value = nullptr;
        _owner = 0;
    }
    _isNull = 1;
    return 0;
}

}  // namespace db
