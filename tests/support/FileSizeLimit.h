#pragma once
// A full disk for the code under test: no file may grow past a number of
// bytes (RLIMIT_FSIZE, which binds root too). A write beyond it fails with
// "File too large" instead of ending the process (SIGXFSZ is ignored).

#include <QProcess>
#include <csignal>
#include <sys/resource.h>

// For this process, while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int) = SIG_DFL;
};

// For a program the test starts (set before start()); the ignored signal
// stays ignored across exec.
inline void limitFileSize(QProcess &process, rlim_t bytes)
{
    process.setChildProcessModifier([bytes] {
        rlimit small{};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
        std::signal(SIGXFSZ, SIG_IGN);
    });
}
