#include "common/loaded_library.h"

#include <gtest/gtest.h>

namespace quotaplan {
namespace {

// What opening a library answers: nothing when it opens with every function, the loader's
// words when it does not open, the first function it lacks otherwise.
struct ProbeCase {
    const char* file;
    std::vector<std::string> functions;
    std::optional<std::string> missing;
};

class LoadedLibraryProbe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(LoadedLibraryProbe, SaysWhatIsMissing) {
    const ProbeCase& c = GetParam();
    EXPECT_EQ(LoadedLibrary::Probe(c.file, c.functions), c.missing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadedLibraryProbe,
    ::testing::Values(
        ProbeCase{"libc.so.6", {"strlen", "qsort"}, std::nullopt},
        ProbeCase{"libc.so.6", {"strlen", "quotaplan_nessuna", "altra"},
                  std::string("manca quotaplan_nessuna")},
        ProbeCase{"libquotaplan-nessuna.so.0", {"strlen"},
                  std::string("libquotaplan-nessuna.so.0: cannot open shared object file: No "
                              "such file or directory")}));

TEST(LoadedLibrary, ResolvesOnceAndCallsThrough) {
    LoadedLibrary library("libc.so.6", {"strlen"});
    ASSERT_EQ(library.Load(), std::nullopt);
    ASSERT_EQ(library.Load(), std::nullopt);
    const auto strlenOf = reinterpret_cast<std::size_t (*)(const char*)>(library.Function(0));
    EXPECT_EQ(strlenOf("Quotaplan"), 9u);
}

}  // namespace
}  // namespace quotaplan
