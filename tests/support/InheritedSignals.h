#ifndef ZARN_TESTS_SUPPORT_INHERITEDSIGNALS_H
#define ZARN_TESTS_SUPPORT_INHERITEDSIGNALS_H

#include <signal.h>

#include <vector>

// The signal state that a program running flows may have, for tests that
// check what its children inherit. The test's thread only.
namespace inherited {

// While it lives, the process ignores SIGINT, SIGHUP, SIGQUIT, SIGUSR1 and
// SIGXFSZ, and the calling thread blocks SIGTERM, SIGINT and SIGUSR2; a
// child started meanwhile begins with that, and exec keeps it.
class UnusualSignals {
public:
    UnusualSignals() {
        for (int sig : kIgnored) {
            struct sigaction ignore = {};
            ignore.sa_handler = SIG_IGN;
            struct sigaction before = {};
            sigaction(sig, &ignore, &before);
            previous.push_back(before);
        }
        sigset_t blocked;
        sigemptyset(&blocked);
        for (int sig : kBlocked) sigaddset(&blocked, sig);
        pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);
    }
    ~UnusualSignals() {
        pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
        for (size_t i = 0; i < previous.size(); ++i) sigaction(kIgnored[i], &previous[i], nullptr);
    }
    UnusualSignals(const UnusualSignals&) = delete;
    UnusualSignals& operator=(const UnusualSignals&) = delete;

private:
    static constexpr int kIgnored[] = {SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGXFSZ};
    static constexpr int kBlocked[] = {SIGTERM, SIGINT, SIGUSR2};
    std::vector<struct sigaction> previous;
    sigset_t previousMask;
};

// The lines "SigBlk" and "SigIgn" of /proc/<pid>/status for a process that
// blocks and ignores no signal.
const char kDefaultSignalLines[] = "SigBlk:\t0000000000000000\nSigIgn:\t0000000000000000\n";

}  // namespace inherited

#endif
