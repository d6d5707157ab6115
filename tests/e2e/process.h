#pragma once
// Runs a program with pipes on its standard input and output.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kestora::test {

// A whole file as bytes; empty when it cannot be read.
inline std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Process {
public:
    explicit Process(const std::vector<std::string>& argv) {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
        ::fcntl(stdout_, F_SETFL, O_NONBLOCK);
    }
    ~Process() {
        closeInput();
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdout_ >= 0) ::close(stdout_);
    }

    void write(const std::string& s) { [[maybe_unused]] auto n = ::write(stdin_, s.data(), s.size()); }
    void closeInput() {
        if (stdin_ >= 0) ::close(stdin_);
        stdin_ = -1;
    }
    // Reads until the output holds text (counted from `from`) or the time is up.
    bool waitFor(const std::string& text, int ms = 5000, std::size_t from = 0) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (output.find(text, from) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
            if (left <= 0) return false;
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char buf[4096];
            const auto n = ::read(stdout_, buf, sizeof buf);
            if (n > 0) output.append(buf, static_cast<std::size_t>(n));
            else if (n == 0) return output.find(text, from) != std::string::npos;
        }
        return true;
    }
    void signal(int sig) { ::kill(pid_, sig); }
    // Waits for the exit; returns the exit code, or -1 on time-out or signal.
    int wait(int ms = 5000) {
        for (int waited = 0; waited < ms; waited += 10) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(10000);
        }
        return -1;
    }
    std::string output;

private:
    pid_t pid_ = -1;
    int stdin_ = -1, stdout_ = -1;
    bool exited_ = false;
};

}  // namespace kestora::test
