#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quotaplan {

// A shared library opened by name the first time it is needed rather than linked, so that a
// program that never needs it never pays for loading it, and its functions resolved by
// name. Safe to use from several threads.
class LoadedLibrary {
public:
    // `file` as dlopen takes it ("libpq.so.5"); `functions` the names to resolve, in the
    // order Function() numbers them.
    LoadedLibrary(std::string file, std::vector<std::string> functions);
    ~LoadedLibrary() = default;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    // Opens it, once: nullopt when it is open and holds every function, otherwise why not
    // (the loader's words, or the name of the function it lacks). Later calls give the
    // first answer.
    const std::optional<std::string>& Load();
    // The function numbered `k`; Load() must have succeeded.
    void* Function(std::size_t k) const { return addresses_[k]; }
    // All of them, numbered as Function() numbers them; Load() must have succeeded.
    void* const* Functions() const { return addresses_.data(); }

    // What Load() would answer for the library in `file`, which is closed again (for tests).
    static std::optional<std::string> Probe(const std::string& file,
                                            const std::vector<std::string>& functions);

private:
    std::string file_;
    std::vector<std::string> names_;
    std::vector<void*> addresses_;
    std::optional<std::string> missing_;
    std::once_flag once_;
};

}  // namespace quotaplan
