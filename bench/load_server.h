#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace pellaro::load {

// The fault run's own pellaro-server, started on one port and data folder,
// killed without warning and started again on both; stopped with SIGTERM.
// Its lines go to DATA.log.
class ServerProcess {
public:
    ServerProcess(std::string program, std::string data, std::uint16_t port);
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    ServerProcess(ServerProcess&&) = delete;
    ServerProcess& operator=(ServerProcess&&) = delete;
    // A server still running is killed.
    ~ServerProcess();

    bool start(std::string& why);
    // SIGKILL, as a crash would end it, and wait for it to be gone.
    void kill();
    // SIGTERM, and the exit status; -1 when it did not exit by itself.
    int stop();
    pid_t pid() const { return pid_; }

private:
    std::string program_;
    std::string data_;
    std::uint16_t port_;
    pid_t pid_ = -1;
};

// A port on 127.0.0.1 that nothing listens on now.
std::uint16_t freePort();

} // namespace pellaro::load
