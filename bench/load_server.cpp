#include "load_server.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace pellaro::load {

ServerProcess::ServerProcess(std::string program, std::string data, std::uint16_t port)
    : program_(std::move(program)), data_(std::move(data)), port_(port) {}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        kill();
    }
}

bool ServerProcess::start(std::string& why) {
    const std::string log = data_ + ".log";
    const std::string listen = "127.0.0.1:" + std::to_string(port_);
    // Everything the child needs is made before the fork.
    std::array<const char*, 12> argv = {
        program_.c_str(), "--data",        data_.c_str(), "--listen",
        listen.c_str(),   "--per-address", "5000",        "--max-connections",
        "5000",           "--max-tables",  "2000",        nullptr};
    const int output = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (output < 0) {
        why = log + ": " + std::strerror(errno);
        return false;
    }
    pid_ = fork();
    if (pid_ == 0) {
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-const-cast): execv never writes them.
        execv(argv[0], const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    ::close(output);
    if (pid_ < 0) {
        why = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    return true;
}

void ServerProcess::kill() {
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

int ServerProcess::stop() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint16_t freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the sockets API
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    const bool bound =
        probe >= 0 && bind(probe, generic, size) == 0 && getsockname(probe, generic, &size) == 0;
    if (probe >= 0) {
        ::close(probe);
    }
    return bound ? ntohs(address.sin_port) : 0;
}

} // namespace pellaro::load
