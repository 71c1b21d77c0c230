#pragma once

#include "HttpServer.h"
#include "Routes.h"
#include "ServiceState.h"

namespace devservice {

// The whole stand-in: its state, its paths and its server.
class DevService {
public:
    DevService();
    ~DevService();

    // Binds 127.0.0.1:port (0: a free one); the bound port, or -1.
    int bind(int port) { return m_server.bind(port); }
    void run() { m_server.run(); }
    void requestStop() { m_server.requestStop(); }

private:
    void handle(const Request& request, Response& response);

    ServiceState m_state;
    Router m_service;
    Router m_control;
    HttpServer m_server;
};

}  // namespace devservice
