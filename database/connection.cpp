#include "database/connection.h"

#include "database/query.h"

namespace db {

std::shared_ptr<TDatabaseError> TDatabaseError::Create(const TDBConnectionPtr& db, const std::string& error,
                                                       const std::string& nativeMessage, int errorType,
                                                       int errorValue) {
    auto record = std::make_shared<TDatabaseError>();
    record->db = db;
    record->error = error;
    if (!nativeMessage.empty()) record->error += " : " + nativeMessage;
    if (errorValue != 0) record->error += " (" + std::to_string(errorValue) + ") ";
    record->errorValue = errorValue;
    record->errorType = errorType;
    return record;
}

int TDatabaseError::reset() {
    error.clear();
    errorValue = 0;
    errorType = ERROR_NONE;
    return 0;
}

std::string TDatabaseError::nativeError() const {
    auto connection = db.lock();
    return connection ? connection->nativeErrorMessage(errorValue) : std::string();
}

std::string TDatabaseError::toString() const {
    return "(" + std::to_string(errorType) + ") " + error + " : " + nativeError();
}

int TDBConnection::Init(const std::string& dbname, const std::string& host, int port, const std::string& user,
                        const std::string& password, const std::string& server, const std::string& options) {
    _dbname = dbname;
    _host = host;
    _port = port;
    _user = user;
    _password = password;
    _server = server;
    _options = options;
    return 0;
}

std::shared_ptr<TDatabaseQuery> TDBConnection::executeQuery(const std::string& sql) {
    resetError();
    auto query = TDatabaseQuery::Create(shared_from_this());
    if (!sql.empty() && query->execute(sql) == 1) resetError();
    return query;
}

std::shared_ptr<TDatabaseError> TDBConnection::error() {
    if (!_lastError) _lastError = std::make_shared<TDatabaseError>();
    return _lastError;
}

int TDBConnection::resetError() {
    if (_lastError) _lastError->reset();
    return 0;
}

int TDBConnection::setError(const std::string& error, const std::string& nativeMessage, int errorType,
                            int errorValue) {
    if (!_lastError) {
        _lastError = TDatabaseError::Create(weak_from_this().lock(), error, nativeMessage, errorType, errorValue);
        return 0;
    }
    // Later errors replace the record in place, without the value suffix. The native
    // message may be the record's own text, so the new text is built before it is stored.
    std::string text = nativeMessage.empty() ? error : error + " : " + nativeMessage;
    _lastError->error = std::move(text);
    _lastError->errorValue = errorValue;
    _lastError->errorType = errorType;
    return 0;
}

int TDBConnection::free() {
    _lastError.reset();
    return 0;
}

}  // namespace db
