#include "kindprozess.h"

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>

#include <QByteArray>
#include <QFile>

QString imKindprozess(const std::function<QString()> &arbeit)
{
    int rohr[2];
    if (pipe(rohr) != 0)
        return QStringLiteral("<abgebrochen: keine Pipe>");
    const pid_t kind = fork();
    if (kind < 0) {
        close(rohr[0]);
        close(rohr[1]);
        return QStringLiteral("<abgebrochen: kein fork>");
    }
    if (kind == 0) {
        close(rohr[0]);
        // An exception must not unwind into the copy of the test framework in this process.
        QByteArray antwort;
        try {
            antwort = arbeit().toUtf8();
        } catch (const std::bad_alloc &) {
            antwort = "<abgebrochen: std::bad_alloc>";
        } catch (...) {
            antwort = "<abgebrochen: Ausnahme>";
        }
        qsizetype geschrieben = 0;
        while (geschrieben < antwort.size()) {
            const ssize_t n = write(rohr[1], antwort.constData() + geschrieben,
                                    size_t(antwort.size() - geschrieben));
            if (n <= 0)
                break;
            geschrieben += n;
        }
        // No exit handlers: the child must not tear down the parent's test framework state.
        _exit(0);
    }
    close(rohr[1]);
    QByteArray antwort;
    char puffer[4096];
    ssize_t n;
    while ((n = read(rohr[0], puffer, sizeof puffer)) > 0)
        antwort.append(puffer, n);
    close(rohr[0]);
    int status = 0;
    while (waitpid(kind, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status))
        return QStringLiteral("<abgebrochen: Signal %1>").arg(WTERMSIG(status));
    return QString::fromUtf8(antwort);
}

namespace {

// Every thread of the process allocating from the one main heap, set before QtTest starts its
// watchdog thread. A thread's own heap reserves 64 MiB of address space up front; a child
// that ran out of room would carry on in that reserve, which no limit on new address space
// can see.
const int eineHalde = mallopt(M_ARENA_MAX, 1);

} // namespace

bool begrenzeAdressraum(qint64 spielraum)
{
    if (eineHalde != 1)
        return false;
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return false;
    const qint64 seiten = statm.readAll().split(' ').value(0).toLongLong();
    if (seiten <= 0)
        return false;
    rlimit grenze{};
    if (getrlimit(RLIMIT_AS, &grenze) != 0)
        return false;
    constexpr qint64 zugabe = 1 << 20; // what the reserve's own mapping may need beyond itself
    grenze.rlim_cur = rlim_t(seiten * sysconf(_SC_PAGESIZE) + spielraum + zugabe);
    if (setrlimit(RLIMIT_AS, &grenze) != 0)
        return false;
    // The heap keeps blocks that earlier work freed and hands them out again without growing,
    // beyond the reach of the limit. So the room to keep is set aside, everything else is used
    // up in small pieces, and then the room is given back: what is left is the room, whatever
    // ran in this process before. volatile, or the compiler may drop allocations never used.
    void *volatile reserve = std::malloc(size_t(spielraum));
    if (!reserve)
        return false;
    void *volatile stueck = nullptr;
    do {
        stueck = std::malloc(64 * 1024);
    } while (stueck);
    std::free(reserve);
    return true;
}

bool adressraumBegrenzbar()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}
