#pragma once
// Typed values: every value bound to a statement or read from a row is one of these
// small objects. Each holds one kind of value plus a null flag; getters of another
// kind answer fixed defaults, setters of another kind do nothing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace db {

// Kind codes answered by TDBType::kind().
enum : int {
    KIND_STRING = 1,
    KIND_INT = 2,
    KIND_DOUBLE = 3,
    KIND_FLOAT = 4,
    KIND_LONG = 5,
    KIND_DATE = 6,
    KIND_BLOB = 7,
    KIND_DATETIME = 8,
    KIND_TIME = 9,
};

class TDBType {
public:
    TDBType() = default;
    TDBType(const TDBType&) = delete;
    TDBType& operator=(const TDBType&) = delete;
    virtual ~TDBType() = default;

    virtual int clear() = 0;
    virtual int kind() const = 0;
    virtual std::string getString() const { return {}; }
    int isNull() const { return _isNull; }
    virtual std::int32_t getInt() const { return 0; }
    virtual double getDouble() const { return 0.0; }
    virtual float getFloat() const { return 0.0f; }
    virtual std::int64_t getLong() const { return 0; }
    virtual std::int64_t getDate() const { return 0; }
    virtual const void* getBlob() const { return nullptr; }
    virtual int setLong(std::int64_t) { return 0; }
    virtual int setDouble(double) { return 0; }
    virtual int setString(std::string) { return 0; }
    virtual int setInt(std::int32_t) { return 0; }
    virtual int setFloat(float) { return 0; }
    virtual int setDate(std::int64_t) { return 0; }
    virtual int setBlob(const void* /*data*/, int /*size*/, int /*copy*/) { return 0; }
    virtual int size() const { return 0; }

    int _isNull = 1;
};

using TDBTypePtr = std::shared_ptr<TDBType>;

// An empty text is a null value (it is bound as SQL NULL).
class TDBString : public TDBType {
public:
    static std::shared_ptr<TDBString> Set(std::string s);
    std::string getString() const override { return value; }
    int setString(std::string s) override;
    // Length in UTF-16 units, as the text counts characters everywhere else.
    int size() const override;
    int clear() override;
    int kind() const override { return KIND_STRING; }

    std::string value;
};

class TDBInt : public TDBType {
public:
    static std::shared_ptr<TDBInt> Set(std::int32_t n);
    std::int32_t getInt() const override { return value; }
    std::int64_t getLong() const override { return value; }
    int setInt(std::int32_t n) override;
    int clear() override;
    int kind() const override { return KIND_INT; }

    std::int32_t value = 0;
};

class TDBDouble : public TDBType {
public:
    static std::shared_ptr<TDBDouble> Set(double d);
    double getDouble() const override { return value; }
    float getFloat() const override { return static_cast<float>(value); }
    int setDouble(double d) override;
    int clear() override;
    int kind() const override { return KIND_DOUBLE; }

    double value = 0.0;
};

class TDBFloat : public TDBType {
public:
    static std::shared_ptr<TDBFloat> Set(float f);
    float getFloat() const override { return value; }
    double getDouble() const override { return value; }
    int setFloat(float f) override;
    int clear() override;
    int kind() const override { return KIND_FLOAT; }

    float value = 0.0f;
};

class TDBLong : public TDBType {
public:
    static std::shared_ptr<TDBLong> Set(std::int64_t n);
    std::int64_t getLong() const override { return value; }
    // The low 32 bits, as two's complement.
    std::int32_t getInt() const override { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); }
    int setLong(std::int64_t n) override;
    int clear() override;
    int kind() const override { return KIND_LONG; }

    std::int64_t value = 0;
};

// Bytes, either the caller's buffer (which must outlive the value) or an owned copy.
class TDBBlob : public TDBType {
public:
    static std::shared_ptr<TDBBlob> Set(const void* data, int size, int copy);
    ~TDBBlob() override;
    const void* getBlob() const override { return value; }
    int setBlob(const void* data, int size, int copy) override;
    // Keeps the old size after clear(), so a cleared blob still says how big it was.
    int size() const override { return _size; }
    int clear() override;
    int kind() const override { return KIND_BLOB; }

    const void* value = nullptr;
    int _size = 0;
    int _owner = 0;
};

}  // namespace db
