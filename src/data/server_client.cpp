#include "data/server_client.h"

#include <libpq-fe.h>

#include <vector>

#include "common/loaded_library.h"

namespace quotaplan {
namespace {

// The functions the engine calls, resolved by name when the library loads.
#define QUOTAPLAN_SERVER_CLIENT_FUNCTIONS(X)                                                  \
    X(PQclear)                                                                                \
    X(PQcmdTuples) X(PQconnectdbParams) X(PQconnectionNeedsPassword) X(PQdb)                  \
        X(PQerrorMessage) X(PQexec) X(PQexecParams) X(PQexecPrepared) X(PQfinish) X(PQfname)  \
            X(PQftable) X(PQftablecol) X(PQftype) X(PQgetisnull) X(PQgetlength)               \
                X(PQgetvalue) X(PQhost) X(PQnfields) X(PQntuples) X(PQport) X(PQprepare)      \
                    X(PQreset) X(PQresultErrorField) X(PQresultStatus) X(PQsetNoticeProcessor) \
                        X(PQstatus) X(PQtransactionStatus) X(PQuser)      \
    X(PQconsumeInput) X(PQgetResult) X(PQisBusy) X(PQsendPrepare) X(PQsendQuery)             \
        X(PQsendQueryParams) X(PQsendQueryPrepared) X(PQsocket) X(PQputCopyData) X(PQputCopyEnd)

enum class ClientFunction {
#define QUOTAPLAN_NUMBER(name) name,
    QUOTAPLAN_SERVER_CLIENT_FUNCTIONS(QUOTAPLAN_NUMBER)
#undef QUOTAPLAN_NUMBER
};

const std::vector<std::string>& FunctionNames() {
    static const std::vector<std::string> names = {
#define QUOTAPLAN_NAME(name) #name,
        QUOTAPLAN_SERVER_CLIENT_FUNCTIONS(QUOTAPLAN_NAME)
#undef QUOTAPLAN_NAME
    };
    return names;
}

LoadedLibrary& Library() {
    static LoadedLibrary library(std::string(kServerClientLibrary), FunctionNames());
    return library;
}

std::string MissingMessage(const std::string& file, const std::string& detail) {
    return "Per aprire un archivio su un server PostgreSQL serve la libreria " + file +
           " (pacchetto libpq5), che su questo computer manca o non si carica (" + detail +
           "): installarla con \"sudo apt-get install libpq5\".";
}

}  // namespace

// The engine loads the library before its first call; a call without it cannot happen.
#define QUOTAPLAN_CALL(name)                                 \
    reinterpret_cast<decltype(&::name)>(quotaplan::Library().Function( \
        static_cast<std::size_t>(quotaplan::ClientFunction::name)))

std::optional<std::string> LoadServerClient() {
    const auto& missing = Library().Load();
    if (!missing) return std::nullopt;
    return MissingMessage(std::string(kServerClientLibrary), *missing);
}

std::optional<std::string> ServerClientMissing(const std::string& file) {
    const auto missing = LoadedLibrary::Probe(file, FunctionNames());
    if (!missing) return std::nullopt;
    return MissingMessage(file, *missing);
}

}  // namespace quotaplan

// libpq's functions as the engine calls them, each forwarding to the loaded library. Built
// with hidden visibility, so they never stand in for the library's own symbols.

void PQclear(PGresult* res) { QUOTAPLAN_CALL(PQclear)(res); }
char* PQcmdTuples(PGresult* res) { return QUOTAPLAN_CALL(PQcmdTuples)(res); }
PGconn* PQconnectdbParams(const char* const* keywords, const char* const* values,
                          int expand_dbname) {
    if (quotaplan::LoadServerClient()) return nullptr;
    return QUOTAPLAN_CALL(PQconnectdbParams)(keywords, values, expand_dbname);
}
int PQconnectionNeedsPassword(const PGconn* conn) {
    return QUOTAPLAN_CALL(PQconnectionNeedsPassword)(conn);
}
char* PQdb(const PGconn* conn) { return QUOTAPLAN_CALL(PQdb)(conn); }
char* PQerrorMessage(const PGconn* conn) { return QUOTAPLAN_CALL(PQerrorMessage)(conn); }
PGresult* PQexec(PGconn* conn, const char* query) { return QUOTAPLAN_CALL(PQexec)(conn, query); }
PGresult* PQexecParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths,
                       const int* paramFormats, int resultFormat) {
    return QUOTAPLAN_CALL(PQexecParams)(conn, command, nParams, paramTypes, paramValues, paramLengths,
                                 paramFormats, resultFormat);
}
PGresult* PQexecPrepared(PGconn* conn, const char* stmtName, int nParams,
                         const char* const* paramValues, const int* paramLengths,
                         const int* paramFormats, int resultFormat) {
    return QUOTAPLAN_CALL(PQexecPrepared)(conn, stmtName, nParams, paramValues, paramLengths, paramFormats,
                                   resultFormat);
}
void PQfinish(PGconn* conn) { QUOTAPLAN_CALL(PQfinish)(conn); }
char* PQfname(const PGresult* res, int field_num) { return QUOTAPLAN_CALL(PQfname)(res, field_num); }
Oid PQftable(const PGresult* res, int field_num) { return QUOTAPLAN_CALL(PQftable)(res, field_num); }
int PQftablecol(const PGresult* res, int field_num) { return QUOTAPLAN_CALL(PQftablecol)(res, field_num); }
Oid PQftype(const PGresult* res, int field_num) { return QUOTAPLAN_CALL(PQftype)(res, field_num); }
int PQgetisnull(const PGresult* res, int tup_num, int field_num) {
    return QUOTAPLAN_CALL(PQgetisnull)(res, tup_num, field_num);
}
int PQgetlength(const PGresult* res, int tup_num, int field_num) {
    return QUOTAPLAN_CALL(PQgetlength)(res, tup_num, field_num);
}
char* PQgetvalue(const PGresult* res, int tup_num, int field_num) {
    return QUOTAPLAN_CALL(PQgetvalue)(res, tup_num, field_num);
}
char* PQhost(const PGconn* conn) { return QUOTAPLAN_CALL(PQhost)(conn); }
int PQnfields(const PGresult* res) { return QUOTAPLAN_CALL(PQnfields)(res); }
int PQntuples(const PGresult* res) { return QUOTAPLAN_CALL(PQntuples)(res); }
char* PQport(const PGconn* conn) { return QUOTAPLAN_CALL(PQport)(conn); }
PGresult* PQprepare(PGconn* conn, const char* stmtName, const char* query, int nParams,
                    const Oid* paramTypes) {
    return QUOTAPLAN_CALL(PQprepare)(conn, stmtName, query, nParams, paramTypes);
}
void PQreset(PGconn* conn) { QUOTAPLAN_CALL(PQreset)(conn); }
char* PQresultErrorField(const PGresult* res, int fieldcode) {
    return QUOTAPLAN_CALL(PQresultErrorField)(res, fieldcode);
}
ExecStatusType PQresultStatus(const PGresult* res) { return QUOTAPLAN_CALL(PQresultStatus)(res); }
PQnoticeProcessor PQsetNoticeProcessor(PGconn* conn, PQnoticeProcessor proc, void* arg) {
    return QUOTAPLAN_CALL(PQsetNoticeProcessor)(conn, proc, arg);
}
ConnStatusType PQstatus(const PGconn* conn) { return QUOTAPLAN_CALL(PQstatus)(conn); }
PGTransactionStatusType PQtransactionStatus(const PGconn* conn) {
    return QUOTAPLAN_CALL(PQtransactionStatus)(conn);
}
char* PQuser(const PGconn* conn) { return QUOTAPLAN_CALL(PQuser)(conn); }
int PQconsumeInput(PGconn* conn) { return QUOTAPLAN_CALL(PQconsumeInput)(conn); }
PGresult* PQgetResult(PGconn* conn) { return QUOTAPLAN_CALL(PQgetResult)(conn); }
int PQisBusy(PGconn* conn) { return QUOTAPLAN_CALL(PQisBusy)(conn); }
int PQsendPrepare(PGconn* conn, const char* stmtName, const char* query, int nParams,
                  const Oid* paramTypes) {
    return QUOTAPLAN_CALL(PQsendPrepare)(conn, stmtName, query, nParams, paramTypes);
}
int PQsendQuery(PGconn* conn, const char* query) { return QUOTAPLAN_CALL(PQsendQuery)(conn, query); }
int PQsendQueryParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                      const char* const* paramValues, const int* paramLengths,
                      const int* paramFormats, int resultFormat) {
    return QUOTAPLAN_CALL(PQsendQueryParams)(conn, command, nParams, paramTypes, paramValues,
                                      paramLengths, paramFormats, resultFormat);
}
int PQsendQueryPrepared(PGconn* conn, const char* stmtName, int nParams,
                        const char* const* paramValues, const int* paramLengths,
                        const int* paramFormats, int resultFormat) {
    return QUOTAPLAN_CALL(PQsendQueryPrepared)(conn, stmtName, nParams, paramValues, paramLengths,
                                        paramFormats, resultFormat);
}
int PQsocket(const PGconn* conn) { return QUOTAPLAN_CALL(PQsocket)(conn); }
int PQputCopyData(PGconn* conn, const char* buffer, int nbytes) {
    return QUOTAPLAN_CALL(PQputCopyData)(conn, buffer, nbytes);
}
int PQputCopyEnd(PGconn* conn, const char* errormsg) {
    return QUOTAPLAN_CALL(PQputCopyEnd)(conn, errormsg);
}
