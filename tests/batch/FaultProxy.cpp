// "The server" of the fault tests, killed or frozen by signals in place of the
// one other tests share: forwards one connection from a loopback port of its
// own (printed first) to the test server's port (argv[1]).
#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

int main(int argc, char** argv) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 1;
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    const int client = accept(listener, nullptr, nullptr);
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    address.sin_port = htons(uint16_t(std::atoi(argc > 1 ? argv[1] : "0")));
    if (client < 0 || connect(server, reinterpret_cast<sockaddr*>(&address), length) != 0)
        return 1;
    pollfd ends[] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
    char buffer[65536];
    while (poll(ends, 2, -1) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (ends[i].revents == 0)
                continue;
            const ssize_t got = read(ends[i].fd, buffer, sizeof buffer);
            if (got <= 0 || write(ends[1 - i].fd, buffer, size_t(got)) != got)
                return 0;
        }
    }
    return 1;
}
