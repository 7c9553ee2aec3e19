// Every program run starts from the program's load image, as a new process
// would: the writable data of the program's library is copied once, before any
// test runs, and put back before each run.
#include "ProgramImage.h"

#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Region {
    char* start;
    size_t size;
    std::vector<char> image;
};

// Under AddressSanitizer the regions hold poisoned redzones between the
// globals, which its memcpy would report: the copies go byte by byte, out of
// its sight (volatile, so that the loop does not become a memcpy call).
__attribute__((no_sanitize("address"))) void CopyBytes(char* to, const char* from, size_t size)
{
    volatile char* out = to;
    const volatile char* in = from;
    for (size_t i = 0; i < size; ++i) out[i] = in[i];
}

std::vector<Region>& Regions()
{
    static std::vector<Region> regions;
    return regions;
}

int CollectRegions(dl_phdr_info* info, size_t, void*)
{
    std::string name = info->dlpi_name ? info->dlpi_name : "";
    // The plain or the sanitized library, as the build names it for this test program.
    const std::string wanted = std::string("/") + DORVANE_PROGRAM_LIBRARY;
    if (name.size() < wanted.size() || name.compare(name.size() - wanted.size(), wanted.size(), wanted) != 0) return 0;
    // Writable loads, less the part that becomes read-only after relocation,
    // which starts the first of them: up to its end, rounded up to its page as the loader does.
    uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE)), protectedEnd = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_GNU_RELRO)
            protectedEnd = (info->dlpi_addr + header.p_vaddr + header.p_memsz + page - 1) & ~(page - 1);
    }
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || !(header.p_flags & PF_W)) continue;
        uintptr_t start = std::max(info->dlpi_addr + header.p_vaddr, protectedEnd);
        uintptr_t end = info->dlpi_addr + header.p_vaddr + header.p_memsz;
        if (end > start) {
            Region region{reinterpret_cast<char*>(start), end - start, {}};
            region.image.resize(region.size);
            CopyBytes(region.image.data(), region.start, region.size);
            Regions().push_back(region);
        }
    }
    return 1;
}

// Taken while the test program loads, before the program's code has run.
struct Snapshot {
    Snapshot()
    {
        dl_iterate_phdr(CollectRegions, NULL);
    }
} snapshot;

}  // namespace

bool InProgramImage(const void* address)
{
    for (const Region& region : Regions())
        if (address >= region.start && address < region.start + region.size) return true;
    return false;
}

void RestoreProgramImage()
{
    if (Regions().empty()) throw std::runtime_error("the program's library was not found among the loaded objects");
    for (Region& region : Regions()) CopyBytes(region.start, region.image.data(), region.size);
}
