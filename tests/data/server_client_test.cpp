// The PostgreSQL client library, loaded by name when a server archive is first opened.
#include "data/server_client.h"

#include <gtest/gtest.h>

namespace quotaplan {
namespace {

TEST(ServerClient, LoadsTheInstalledLibrary) {
    EXPECT_EQ(ServerClientMissing(std::string(kServerClientLibrary)), std::nullopt);
    EXPECT_EQ(LoadServerClient(), std::nullopt);
}

TEST(ServerClient, AMissingLibraryIsNamedWithItsPackage) {
    const auto missing = ServerClientMissing("libpq-assente.so.5");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->rfind("Per aprire un archivio su un server PostgreSQL serve la libreria "
                             "libpq-assente.so.5 (pacchetto libpq5), che su questo computer manca "
                             "o non si carica (",
                             0),
              0u)
        << *missing;
    EXPECT_TRUE(missing->ends_with("): installarla con \"sudo apt-get install libpq5\"."));
}

// A library of that name without libpq's functions is no client either.
TEST(ServerClient, ALibraryWithoutTheFunctions) {
    EXPECT_EQ(ServerClientMissing("libm.so.6"),
              "Per aprire un archivio su un server PostgreSQL serve la libreria libm.so.6 "
              "(pacchetto libpq5), che su questo computer manca o non si carica (manca PQclear): "
              "installarla con \"sudo apt-get install libpq5\".");
}

}  // namespace
}  // namespace quotaplan
