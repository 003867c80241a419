#include "data/server_client.h"

#include <dlfcn.h>
#include <libpq-fe.h>

#include <mutex>

namespace quotaplan {
namespace {

// The functions the engine calls, resolved by name when the library loads.
#define QUOTAPLAN_SERVER_CLIENT_FUNCTIONS(X)                                                     \
    X(PQclear)                                                                                   \
    X(PQcmdTuples)                                                                               \
    X(PQconnectdbParams) X(PQconnectionNeedsPassword) X(PQdb) X(PQerrorMessage) X(PQexec)        \
        X(PQexecParams) X(PQexecPrepared) X(PQfinish) X(PQfname) X(PQftable) X(PQftablecol)      \
            X(PQftype) X(PQgetisnull) X(PQgetlength) X(PQgetvalue) X(PQhost) X(PQnfields)        \
                X(PQntuples) X(PQport) X(PQprepare) X(PQreset) X(PQresultErrorField)             \
                    X(PQresultStatus) X(PQsetNoticeProcessor) X(PQstatus) X(PQtransactionStatus) \
                        X(PQuser) X(PQconsumeInput) X(PQgetResult) X(PQisBusy)          \
                            X(PQsendPrepare) X(PQsendQuery) X(PQsendQueryParams)             \
                                X(PQsendQueryPrepared) X(PQsocket)

struct ClientFunctions {
#define QUOTAPLAN_POINTER(name) decltype(&::name) name = nullptr;
    QUOTAPLAN_SERVER_CLIENT_FUNCTIONS(QUOTAPLAN_POINTER)
#undef QUOTAPLAN_POINTER
};

std::string MissingMessage(const std::string& file, const std::string& detail) {
    return "Per aprire un archivio su un server PostgreSQL serve la libreria " + file +
           " (pacchetto libpq5), che su questo computer manca o non si carica (" + detail +
           "): installarla con \"sudo apt-get install libpq5\".";
}

// Opens `file` and fills `functions`; the message of what failed otherwise.
std::optional<std::string> Resolve(const std::string& file, ClientFunctions& functions,
                                   void*& handle) {
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        return MissingMessage(file, why != nullptr ? why : "dlopen");
    }
#define QUOTAPLAN_RESOLVE(name)                                                 \
    functions.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
    if (functions.name == nullptr) return MissingMessage(file, "manca " #name);
    QUOTAPLAN_SERVER_CLIENT_FUNCTIONS(QUOTAPLAN_RESOLVE)
#undef QUOTAPLAN_RESOLVE
    return std::nullopt;
}

struct LoadedClient {
    ClientFunctions functions;
    std::optional<std::string> missing;
};

LoadedClient& Loaded() {
    static LoadedClient loaded;
    static std::once_flag once;
    std::call_once(once, [] {
        void* handle = nullptr;
        loaded.missing = Resolve(std::string(kServerClientLibrary), loaded.functions, handle);
        // Loaded for the rest of the process: its functions stay in use until the end.
        if (loaded.missing && handle != nullptr) dlclose(handle);
    });
    return loaded;
}

// The engine loads the library before its first call; a call without it cannot happen.
const ClientFunctions& Client() { return Loaded().functions; }

}  // namespace

std::optional<std::string> LoadServerClient() { return Loaded().missing; }

std::optional<std::string> ServerClientMissing(const std::string& file) {
    ClientFunctions functions;
    void* handle = nullptr;
    auto missing = Resolve(file, functions, handle);
    if (handle != nullptr) dlclose(handle);
    return missing;
}

}  // namespace quotaplan

// libpq's functions as the engine calls them, each forwarding to the loaded library. Built
// with hidden visibility, so they never stand in for the library's own symbols.
using quotaplan::Client;

void PQclear(PGresult* res) { Client().PQclear(res); }
char* PQcmdTuples(PGresult* res) { return Client().PQcmdTuples(res); }
PGconn* PQconnectdbParams(const char* const* keywords, const char* const* values,
                          int expand_dbname) {
    if (quotaplan::LoadServerClient()) return nullptr;
    return Client().PQconnectdbParams(keywords, values, expand_dbname);
}
int PQconnectionNeedsPassword(const PGconn* conn) {
    return Client().PQconnectionNeedsPassword(conn);
}
char* PQdb(const PGconn* conn) { return Client().PQdb(conn); }
char* PQerrorMessage(const PGconn* conn) { return Client().PQerrorMessage(conn); }
PGresult* PQexec(PGconn* conn, const char* query) { return Client().PQexec(conn, query); }
PGresult* PQexecParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths,
                       const int* paramFormats, int resultFormat) {
    return Client().PQexecParams(conn, command, nParams, paramTypes, paramValues, paramLengths,
                                 paramFormats, resultFormat);
}
PGresult* PQexecPrepared(PGconn* conn, const char* stmtName, int nParams,
                         const char* const* paramValues, const int* paramLengths,
                         const int* paramFormats, int resultFormat) {
    return Client().PQexecPrepared(conn, stmtName, nParams, paramValues, paramLengths, paramFormats,
                                   resultFormat);
}
void PQfinish(PGconn* conn) { Client().PQfinish(conn); }
char* PQfname(const PGresult* res, int field_num) { return Client().PQfname(res, field_num); }
Oid PQftable(const PGresult* res, int field_num) { return Client().PQftable(res, field_num); }
int PQftablecol(const PGresult* res, int field_num) { return Client().PQftablecol(res, field_num); }
Oid PQftype(const PGresult* res, int field_num) { return Client().PQftype(res, field_num); }
int PQgetisnull(const PGresult* res, int tup_num, int field_num) {
    return Client().PQgetisnull(res, tup_num, field_num);
}
int PQgetlength(const PGresult* res, int tup_num, int field_num) {
    return Client().PQgetlength(res, tup_num, field_num);
}
char* PQgetvalue(const PGresult* res, int tup_num, int field_num) {
    return Client().PQgetvalue(res, tup_num, field_num);
}
char* PQhost(const PGconn* conn) { return Client().PQhost(conn); }
int PQnfields(const PGresult* res) { return Client().PQnfields(res); }
int PQntuples(const PGresult* res) { return Client().PQntuples(res); }
char* PQport(const PGconn* conn) { return Client().PQport(conn); }
PGresult* PQprepare(PGconn* conn, const char* stmtName, const char* query, int nParams,
                    const Oid* paramTypes) {
    return Client().PQprepare(conn, stmtName, query, nParams, paramTypes);
}
void PQreset(PGconn* conn) { Client().PQreset(conn); }
char* PQresultErrorField(const PGresult* res, int fieldcode) {
    return Client().PQresultErrorField(res, fieldcode);
}
ExecStatusType PQresultStatus(const PGresult* res) { return Client().PQresultStatus(res); }
PQnoticeProcessor PQsetNoticeProcessor(PGconn* conn, PQnoticeProcessor proc, void* arg) {
    return Client().PQsetNoticeProcessor(conn, proc, arg);
}
ConnStatusType PQstatus(const PGconn* conn) { return Client().PQstatus(conn); }
PGTransactionStatusType PQtransactionStatus(const PGconn* conn) {
    return Client().PQtransactionStatus(conn);
}
char* PQuser(const PGconn* conn) { return Client().PQuser(conn); }
int PQconsumeInput(PGconn* conn) { return Client().PQconsumeInput(conn); }
PGresult* PQgetResult(PGconn* conn) { return Client().PQgetResult(conn); }
int PQisBusy(PGconn* conn) { return Client().PQisBusy(conn); }
int PQsendPrepare(PGconn* conn, const char* stmtName, const char* query, int nParams,
                  const Oid* paramTypes) {
    return Client().PQsendPrepare(conn, stmtName, query, nParams, paramTypes);
}
int PQsendQuery(PGconn* conn, const char* query) { return Client().PQsendQuery(conn, query); }
int PQsendQueryParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                      const char* const* paramValues, const int* paramLengths,
                      const int* paramFormats, int resultFormat) {
    return Client().PQsendQueryParams(conn, command, nParams, paramTypes, paramValues,
                                      paramLengths, paramFormats, resultFormat);
}
int PQsendQueryPrepared(PGconn* conn, const char* stmtName, int nParams,
                        const char* const* paramValues, const int* paramLengths,
                        const int* paramFormats, int resultFormat) {
    return Client().PQsendQueryPrepared(conn, stmtName, nParams, paramValues, paramLengths,
                                        paramFormats, resultFormat);
}
int PQsocket(const PGconn* conn) { return Client().PQsocket(conn); }
