#include "net_client.h"
#include "net_options.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    using namespace pellaro;
    NetOptions options;
    std::string text;
    switch (readNetOptions(argc, argv, options, text)) {
    case NetOptionsRead::Help:
        std::cout << text;
        return 0;
    case NetOptionsRead::Bad:
        std::cerr << text << '\n';
        return 2;
    case NetOptionsRead::Play:
        break;
    }
    try {
        boost::asio::io_context io;
        NetClient client(io, options, std::cout, std::cerr);
        client.start();
        io.run();
        return client.status();
    } catch (const std::exception& failure) {
        std::cerr << "pellaro-net: " << failure.what() << '\n';
        return 1;
    }
}
