// Takes as much fresh memory as asked, as Tessra takes its large tables (a private anonymous
// mapping with huge pages asked for), writes a byte to every page, and reports how long that
// took. On a virtual machine whose host backs the guest's memory only when it is first used,
// and takes back what the guest has freed for a while, that first touch costs far more per
// byte for hundreds of megabytes than for a few dozen that were in use a moment before; a run
// right after this one gets the pages it just freed, so it starts as a run right after another.

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>

int main(int argc, char **argv)
{
    const long long mib = argc == 2 ? std::atoll(argv[1]) : 0;
    if (mib <= 0) {
        std::fprintf(stderr, "Aufruf: tessra-speicherprobe MIB\n");
        return 2;
    }
    const size_t bytes = size_t(mib) << 20;
    const auto start = std::chrono::steady_clock::now();
    void *speicher = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (speicher == MAP_FAILED) {
        std::fprintf(stderr, "tessra-speicherprobe: %lld MiB nicht zu haben\n", mib);
        return 1;
    }
    ::madvise(speicher, bytes, MADV_HUGEPAGE);
    auto *seiten = static_cast<volatile char *>(speicher);
    for (size_t stelle = 0; stelle < bytes; stelle += 4096)
        seiten[stelle] = 1;
    const std::chrono::duration<double, std::milli> dauer =
        std::chrono::steady_clock::now() - start;
    std::printf("first_touch_mib=%lld\nfirst_touch_ms=%.1f\n", mib, dauer.count());
    return 0;
}
