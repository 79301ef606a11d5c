#pragma once
// A connection to one database: opens and closes it, runs SQL text and keeps the last
// error. Drivers derive from TDBConnection and supply the abstract operations.
// Failures never travel as exceptions: they are recorded on the connection.

#include <memory>
#include <string>
#include <vector>

namespace db {

class TDBConnection;
class TDatabaseQuery;
class TQueryResultSet;
class TDBTable;

using TDBConnectionPtr = std::shared_ptr<TDBConnection>;

class TDatabaseError {
public:
    static constexpr int ERROR_NONE = 0;
    static constexpr int ERROR_TRANSACTION = 1;
    static constexpr int ERROR_CONNECTION = 2;
    static constexpr int ERROR_STATEMENT = 3;
    static constexpr int ERROR_UNKOWN = 4;

    // The first error of a connection: text, " : " native message, " (" value ") ".
    static std::shared_ptr<TDatabaseError> Create(const TDBConnectionPtr& db, const std::string& error,
                                                  const std::string& nativeMessage, int errorType,
                                                  int errorValue);
    int reset();
    int isSet() const { return error.empty() ? 0 : 1; }
    // The driver's text for errorValue; empty when the record has no connection.
    std::string nativeError() const;
    std::string toString() const;

    // Not owning: the connection owns its record. A record that outlives its connection
    // has no native text.
    std::weak_ptr<TDBConnection> db;
    std::string error;
    int errorType = ERROR_NONE;
    int errorValue = 0;
};

class TDBConnection : public std::enable_shared_from_this<TDBConnection> {
public:
    TDBConnection() = default;
    TDBConnection(const TDBConnection&) = delete;
    TDBConnection& operator=(const TDBConnection&) = delete;
    virtual ~TDBConnection() = default;

    int Init(const std::string& dbname, const std::string& host, int port, const std::string& user,
             const std::string& password, const std::string& server, const std::string& options);
    virtual int close() = 0;
    // 1 on success; 0 if closed (nothing recorded) or on failure (error recorded).
    virtual int commit() = 0;
    virtual std::vector<std::string> getTables() = 0;
    virtual std::shared_ptr<TDBTable> getTableInfo(const std::string& tableName, int withDDL) = 0;
    virtual int open(const std::string& user, const std::string& password) = 0;
    virtual int rollback() = 0;
    virtual int startTransaction() = 0;

    // Always a query (never Null), already run; success is read from hasError().
    std::shared_ptr<TDatabaseQuery> executeQuery(const std::string& sql);
    int isOpen() const { return _isOpen; }
    const std::string& getDatabaseName() const { return _dbname; }
    const std::string& getHost() const { return _host; }
    int getPortNumber() const { return _port; }
    // The error record, made empty on first use.
    std::shared_ptr<TDatabaseError> error();
    int resetError();
    int hasError() const { return _lastError && _lastError->isSet() ? 1 : 0; }
    int setError(const std::string& error, const std::string& nativeMessage, int errorType, int errorValue);
    virtual void* databaseHandle() = 0;
    virtual std::shared_ptr<TQueryResultSet> createResultSet() = 0;
    virtual std::string nativeErrorMessage(int code) const = 0;
    virtual int hasPrepareSupport() const = 0;
    virtual int hasTransactionSupport() const = 0;
    int free();

    void* handle = nullptr;
    std::string _dbname;
    std::string _host;
    int _port = 0;
    std::string _user;
    std::string _password;
    std::string _options;
    std::string _server;
    int _isOpen = 0;
    std::shared_ptr<TDatabaseError> _lastError;
};

}  // namespace db
