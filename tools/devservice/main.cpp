// The local stand-in of the Ormil speech service.
#include <httplib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    int port = argc > 1 ? std::atoi(argv[1]) : 18080;
    httplib::Server server;
    server.Get("/api/download/version", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"version":"1.0.0"})", "application/json");
    });
    std::printf("listening on 127.0.0.1:%d\n", port);
    std::fflush(stdout);
    return server.listen("127.0.0.1", port) ? 0 : 1;
}
