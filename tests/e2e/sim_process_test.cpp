// kestora-sim as a program: frames through its pseudo-terminal or TCP port,
// console commands on its standard input, the journal file.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "process.h"
#include "wire.h"

namespace kestora::test {
namespace {

using sim::Bytes;

// Reads up to n bytes, waiting at most ms for them.
Bytes readSome(int fd, std::size_t n, int ms) {
    Bytes got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (got.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        std::uint8_t buf[256];
        const auto r = ::read(fd, buf, std::min(sizeof buf, n - got.size()));
        if (r <= 0) break;
        got.insert(got.end(), buf, buf + r);
    }
    return got;
}

std::string firstLine(Process& p) {
    EXPECT_TRUE(p.waitFor("\n")) << p.output;
    return p.output.substr(0, p.output.find('\n'));
}

struct SimProcessTest : ::testing::Test {
    void SetUp() override {
        char tmpl[] = "/tmp/kestora-sim-XXXXXX";
        dir = ::mkdtemp(tmpl);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(SimProcessTest, AnswersOnItsPseudoTerminalAndTakesCommands) {
    const auto journal = dir / "journal.txt";
    Process p({KESTORA_SIM_BIN, "--model", "1", "--pty", "--ibfm", "123456", "--journal", journal.string()});
    const std::string slave = firstLine(p);
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);

    const Bytes drawer = sim::longFrame(1, 0x11, {0x12, 0x34, 0x56}, 7, 0x29, {});
    ASSERT_EQ(::write(fd, drawer.data(), drawer.size()), static_cast<ssize_t>(drawer.size()));
    EXPECT_EQ(readSome(fd, 14, 2000), sim::longFrame(1, 0x11, {0x12, 0x34, 0x56}, 7, 0x1F, {0x00, 0x00}));

    // Told to stay silent, it lets one frame go unanswered.
    p.write("silent 1\n");
    ASSERT_TRUE(p.waitFor("ok\n")) << p.output;
    ASSERT_EQ(::write(fd, drawer.data(), drawer.size()), static_cast<ssize_t>(drawer.size()));
    EXPECT_TRUE(readSome(fd, 14, 300).empty());
    p.write("dance\n");
    EXPECT_TRUE(p.waitFor("error: unknown command 'dance'")) << p.output;
    ::close(fd);
    p.signal(SIGTERM);
    EXPECT_EQ(p.wait(), 0);

    std::stringstream text;
    text << std::ifstream(journal).rdbuf();
    EXPECT_EQ(text.str(), "drawer 0\n");
}

TEST_F(SimProcessTest, PrinterOverTcpKeepsItsMemoryBetweenRuns) {
    const auto memory = dir / "memory.txt";
    const auto run = [&](const Bytes& frame, std::size_t answerLength) {
        Process p({KESTORA_SIM_BIN, "--model", "4", "--tcp", "127.0.0.1:0", "--memory", memory.string()});
        const std::string where = firstLine(p);
        const int port = std::stoi(where.substr(where.rfind(':') + 1));
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        EXPECT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(::write(s, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
        const Bytes answer = readSome(s, answerLength, 2000);
        ::close(s);
        p.signal(SIGTERM);
        EXPECT_EQ(p.wait(), 0);
        return answer;
    };
    Bytes write(48, 0);
    write[0] = 42;
    for (int i = 2; i < 9; ++i) write[static_cast<std::size_t>(i)] = 0xFF;
    write[9] = 'S', write[10] = 'O';
    write[42] = 0x32;  // 0.50
    const Bytes stored = run(sim::longFrame(4, 0x01, {0, 0, 0}, 3, 0x13, write), 28);
    ASSERT_EQ(stored.size(), 28u);
    EXPECT_EQ(stored[9], 0xFF);
    const Bytes record = run(Bytes{0x5F, 0x82, 0x02, 0x01, 0x00, 0x0D}, 53);
    ASSERT_EQ(record.size(), 53u);
    EXPECT_EQ(record[3], 42);
    EXPECT_EQ(record[5], 'S');
    EXPECT_EQ(record[39], 0x32);
}

TEST_F(SimProcessTest, CashRegistersAreNotServedOverTcp) {
    Process p({KESTORA_SIM_BIN, "--model", "2", "--tcp", "127.0.0.1:0"});
    EXPECT_EQ(p.wait(), 2);
}

}  // namespace
}  // namespace kestora::test
