#include "output/compound_file.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>

#include "output/little_endian.h"

namespace quotaplan {

namespace {

constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kMiniStreamCutoff = 4096;
constexpr std::size_t kEntriesPerFatSector = kSectorSize / 4;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

struct DirectoryEntry {
    std::u16string name;
    std::uint8_t type = 0;   // 2 stream, 5 root storage
    std::uint8_t color = 1;  // 0 red, 1 black
    std::uint32_t left = kNoStream;
    std::uint32_t right = kNoStream;
    std::uint32_t child = kNoStream;
    std::uint32_t start = kEndOfChain;
    std::uint64_t size = 0;
};

std::size_t SectorsFor(std::size_t bytes) { return (bytes + kSectorSize - 1) / kSectorSize; }

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

// Directory siblings are ordered by name length first, then by upper-cased name.
bool NameLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return Upper(a[i]) < Upper(b[i]);
    }
    return false;
}

void ValidateName(const std::u16string& name) {
    if (name.empty() || name.size() > 31 || name.find_first_of(u"/\\:!") != std::u16string::npos) {
        throw std::invalid_argument("nome di flusso non valido");
    }
}

void PutEntry(std::string& out, const DirectoryEntry& entry) {
    std::string raw(128, '\0');
    for (std::size_t i = 0; i < entry.name.size(); ++i) {
        PutU16At(raw, 2 * i, entry.name[i]);
    }
    if (entry.type != 0) PutU16At(raw, 64, static_cast<std::uint16_t>(2 * (entry.name.size() + 1)));
    raw[66] = static_cast<char>(entry.type);
    raw[67] = static_cast<char>(entry.color);
    PutU32At(raw, 68, entry.left);
    PutU32At(raw, 72, entry.right);
    PutU32At(raw, 76, entry.child);
    PutU32At(raw, 116, entry.start);
    PutU32At(raw, 120, static_cast<std::uint32_t>(entry.size));
    PutU32At(raw, 124, static_cast<std::uint32_t>(entry.size >> 32));
    out += raw;
}

}  // namespace

std::string BuildCompoundFile(const std::vector<CompoundStream>& streams) {
    std::vector<std::size_t> order(streams.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        ValidateName(streams[i].name);
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return NameLess(streams[a].name, streams[b].name);
    });
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (!NameLess(streams[order[i - 1]].name, streams[order[i]].name)) {
            throw std::invalid_argument("nome di flusso ripetuto");
        }
    }

    // Sector plan: the streams, then the directory, then the allocation table, then its
    // index sectors beyond the 109 held by the header.
    std::vector<std::size_t> streamSizes;
    std::size_t streamSectors = 0;
    for (const CompoundStream& stream : streams) {
        streamSizes.push_back(std::max(stream.bytes.size(), kMiniStreamCutoff));
        streamSectors += SectorsFor(streamSizes.back());
    }
    const std::size_t entryCount = streams.size() + 1;
    const std::size_t directorySectors = (entryCount + 3) / 4;
    std::size_t fatSectors = 1;
    std::size_t difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > kHeaderDifatEntries
                           ? (fatSectors - kHeaderDifatEntries + kEntriesPerFatSector - 2) /
                                 (kEntriesPerFatSector - 1)
                           : 0;
        const std::size_t total = streamSectors + directorySectors + fatSectors + difatSectors;
        if (fatSectors * kEntriesPerFatSector >= total) break;
        ++fatSectors;
    }
    const std::size_t totalSectors = streamSectors + directorySectors + fatSectors + difatSectors;

    std::vector<std::uint32_t> fat(fatSectors * kEntriesPerFatSector, kFreeSector);
    auto chain = [&](std::size_t first, std::size_t count) {
        for (std::size_t s = first; s + 1 < first + count; ++s)
            fat[s] = static_cast<std::uint32_t>(s + 1);
        if (count > 0) fat[first + count - 1] = kEndOfChain;
    };

    std::vector<DirectoryEntry> entries(entryCount);
    entries[0].name = u"Root Entry";
    entries[0].type = 5;
    std::size_t next = 0;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        DirectoryEntry& entry = entries[i + 1];
        entry.name = streams[i].name;
        entry.type = 2;
        entry.start = static_cast<std::uint32_t>(next);
        entry.size = streamSizes[i];
        const std::size_t count = SectorsFor(streamSizes[i]);
        chain(next, count);
        next += count;
    }
    const std::size_t directoryStart = next;
    chain(directoryStart, directorySectors);
    next += directorySectors;
    const std::size_t fatStart = next;
    for (std::size_t s = 0; s < fatSectors; ++s) fat[fatStart + s] = kFatSector;
    next += fatSectors;
    const std::size_t difatStart = next;
    for (std::size_t s = 0; s < difatSectors; ++s) fat[difatStart + s] = kDifatSector;

    // The streams hang under the root as a balanced search tree; all black except the
    // deepest level of an unfilled tree, which keeps every path equally black.
    std::size_t depthLimit = 0;
    while ((std::size_t{1} << depthLimit) - 1 < streams.size()) ++depthLimit;
    const bool perfect = ((std::size_t{1} << depthLimit) - 1) == streams.size();
    std::function<std::uint32_t(std::size_t, std::size_t, std::size_t)> build =
        [&](std::size_t lo, std::size_t hi, std::size_t depth) -> std::uint32_t {
        if (lo >= hi) return kNoStream;
        const std::size_t mid = (lo + hi) / 2;
        DirectoryEntry& entry = entries[order[mid] + 1];
        entry.left = build(lo, mid, depth + 1);
        entry.right = build(mid + 1, hi, depth + 1);
        entry.color = (!perfect && depth + 1 == depthLimit) ? 0 : 1;
        return static_cast<std::uint32_t>(order[mid] + 1);
    };
    entries[0].child = build(0, order.size(), 0);

    std::string out;
    out.reserve((totalSectors + 1) * kSectorSize);
    std::string header(kSectorSize, '\0');
    const unsigned char signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::copy(std::begin(signature), std::end(signature), header.begin());
    PutU16At(header, 24, 0x003E);  // minor version
    PutU16At(header, 26, 0x0003);  // major version 3: 512-byte sectors
    PutU16At(header, 28, 0xFFFE);  // little-endian
    PutU16At(header, 30, 9);       // sector size 2^9
    PutU16At(header, 32, 6);       // mini sector size 2^6
    PutU32At(header, 44, static_cast<std::uint32_t>(fatSectors));
    PutU32At(header, 48, static_cast<std::uint32_t>(directoryStart));
    PutU32At(header, 56, static_cast<std::uint32_t>(kMiniStreamCutoff));
    PutU32At(header, 60, kEndOfChain);  // no mini allocation table
    PutU32At(header, 68, difatSectors > 0 ? static_cast<std::uint32_t>(difatStart) : kEndOfChain);
    PutU32At(header, 72, static_cast<std::uint32_t>(difatSectors));
    for (std::size_t i = 0; i < kHeaderDifatEntries; ++i) {
        PutU32At(header, 76 + 4 * i,
                 i < fatSectors ? static_cast<std::uint32_t>(fatStart + i) : kFreeSector);
    }
    out += header;

    for (std::size_t i = 0; i < streams.size(); ++i) {
        out += streams[i].bytes;
        out.append(SectorsFor(streamSizes[i]) * kSectorSize - streams[i].bytes.size(), '\0');
    }
    std::string directory;
    for (const DirectoryEntry& entry : entries) PutEntry(directory, entry);
    DirectoryEntry unused;
    unused.start = 0;
    while (directory.size() < directorySectors * kSectorSize) PutEntry(directory, unused);
    out += directory;
    for (std::uint32_t value : fat) PutU32(out, value);
    for (std::size_t d = 0; d < difatSectors; ++d) {
        for (std::size_t k = 0; k < kEntriesPerFatSector - 1; ++k) {
            const std::size_t index = kHeaderDifatEntries + d * (kEntriesPerFatSector - 1) + k;
            PutU32(out,
                   index < fatSectors ? static_cast<std::uint32_t>(fatStart + index) : kFreeSector);
        }
        PutU32(out,
               d + 1 < difatSectors ? static_cast<std::uint32_t>(difatStart + d + 1) : kEndOfChain);
    }
    return out;
}

}  // namespace quotaplan
