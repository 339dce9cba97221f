#pragma once

#include <QtGlobal>

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

// A growing array of plain values for the tables of a loaded file, which hold an entry or two
// for each of its lines. It lives in a memory mapping of its own that grows in place or moves
// without copying (mremap), so a table is never held twice while it grows, and the kernel may
// back it with huge pages, which spares the page faults and address-translation misses that
// tables of tens of millions of entries otherwise cost.
template <typename T> class Grossfeld
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    Grossfeld() = default;
    Grossfeld(qsizetype anzahl, T wert) { resize(anzahl, wert); }
    ~Grossfeld()
    {
        if (m_daten)
            ::munmap(m_daten, size_t(m_bytes));
    }
    Grossfeld(Grossfeld &&andere) noexcept { tausche(andere); }
    Grossfeld &operator=(Grossfeld &&andere) noexcept
    {
        Grossfeld(std::move(andere)).tausche(*this);
        return *this;
    }
    Grossfeld(const Grossfeld &) = delete;
    Grossfeld &operator=(const Grossfeld &) = delete;

    qsizetype size() const { return m_groesse; }
    bool empty() const { return m_groesse == 0; }
    T *data() { return m_daten; }
    const T *data() const { return m_daten; }
    T &operator[](qsizetype i) { return m_daten[i]; }
    const T &operator[](qsizetype i) const { return m_daten[i]; }
    const T &back() const { return m_daten[m_groesse - 1]; }

    void reserve(qsizetype anzahl)
    {
        if (anzahl > m_kapazitaet)
            wachse(anzahl);
    }
    void push_back(T wert)
    {
        if (m_groesse == m_kapazitaet)
            wachse(std::max<qsizetype>(m_kapazitaet * 2, 1024));
        m_daten[m_groesse++] = wert;
        m_beruehrt = std::max(m_beruehrt, m_groesse);
    }
    // Entries of zero bytes, the memory taken a few megabytes at a time with `zwischendurch`
    // called in between: taking fresh memory costs time of its own, and a table of a large file
    // need not take it all at once. Entries never used before are zero bytes already, as the
    // kernel hands out memory: one byte a page is written, to take the page, not the whole entry.
    template <typename Zwischendurch>
    void belegeNullen(qsizetype anzahl, Zwischendurch zwischendurch)
    {
        constexpr qsizetype schritt = 8 * grosseSeite;
        const qsizetype bisher = m_groesse;
        resize(anzahl, T{});
        char *anfang = reinterpret_cast<char *>(m_daten + std::min(bisher, anzahl));
        const char *ende = reinterpret_cast<char *>(m_daten + anzahl);
        for (char *stelle = anfang; stelle < ende; stelle += seite) {
            if ((stelle - anfang) % schritt == 0)
                zwischendurch();
            *reinterpret_cast<volatile char *>(stelle) = 0;
        }
    }
    void resize(qsizetype anzahl, T wert = T{})
    {
        reserve(anzahl);
        const qsizetype bisher = std::min(m_groesse, anzahl);
        const qsizetype beschrieben = std::max(bisher, std::min(m_beruehrt, anzahl));
        std::fill(m_daten + bisher, m_daten + beschrieben, wert);
        const T null{};
        if (std::memcmp(&wert, &null, sizeof(T)) != 0)
            std::fill(m_daten + beschrieben, m_daten + anzahl, wert);
        m_groesse = anzahl;
        m_beruehrt = std::max(m_beruehrt, anzahl);
    }

private:
    static constexpr qsizetype seite = 4096;
    static constexpr qsizetype grosseSeite = 2 * 1024 * 1024;

    void wachse(qsizetype kapazitaet)
    {
        if (kapazitaet > qsizetype(PTRDIFF_MAX / qsizetype(sizeof(T))) / 2)
            throw std::bad_alloc();
        const qsizetype einheit =
            kapazitaet * qsizetype(sizeof(T)) >= grosseSeite ? grosseSeite : seite;
        const qsizetype bytes =
            (kapazitaet * qsizetype(sizeof(T)) + einheit - 1) / einheit * einheit;
        // Only touched pages take memory, so reserving address space costs nothing.
        void *neu = m_daten ? ::mremap(m_daten, size_t(m_bytes), size_t(bytes), MREMAP_MAYMOVE)
                            : ::mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE,
                                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (neu == MAP_FAILED)
            throw std::bad_alloc();
        if (bytes >= grosseSeite)
            ::madvise(neu, size_t(bytes), MADV_HUGEPAGE);
        m_daten = static_cast<T *>(neu);
        m_bytes = bytes;
        m_kapazitaet = bytes / qsizetype(sizeof(T));
    }

    void tausche(Grossfeld &andere) noexcept
    {
        std::swap(m_daten, andere.m_daten);
        std::swap(m_groesse, andere.m_groesse);
        std::swap(m_kapazitaet, andere.m_kapazitaet);
        std::swap(m_bytes, andere.m_bytes);
        std::swap(m_beruehrt, andere.m_beruehrt);
    }

    T *m_daten = nullptr;
    qsizetype m_groesse = 0;
    qsizetype m_kapazitaet = 0;
    qsizetype m_bytes = 0;
    // How far entries were ever used; beyond, the mapping still holds the kernel's zeros.
    qsizetype m_beruehrt = 0;
};
