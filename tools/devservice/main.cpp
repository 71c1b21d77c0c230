// The local stand-in of the Ormil speech service.
//   ormil-devservice [--port N]   (default 18080; 0 picks a free port)
// Prints "listening on http://127.0.0.1:PORT" once it accepts connections.
#include <QByteArray>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "DevService.h"

namespace {
devservice::DevService* g_service = nullptr;
void onSignal(int) {
    if (g_service) g_service->requestStop();
}
}  // namespace

int main(int argc, char** argv) {
    int port = 18080;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            bool ok = false;
            port = QByteArray(argv[++i]).toInt(&ok);
            if (!ok || port < 0 || port > 65535) {
                std::fprintf(stderr, "ormil-devservice: bad port \"%s\"\n", argv[i]);
                return 2;
            }
        } else {
            std::fprintf(stderr, "usage: ormil-devservice [--port N]\n");
            return 2;
        }
    }
    devservice::DevService service;
    const int bound = service.bind(port);
    if (bound < 0) {
        std::fprintf(stderr, "ormil-devservice: cannot listen on 127.0.0.1:%d: %s\n", port,
                     std::strerror(errno));
        return 1;
    }
    g_service = &service;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("listening on http://127.0.0.1:%d\n", bound);
    std::fflush(stdout);
    service.run();
    g_service = nullptr;
    return 0;
}
