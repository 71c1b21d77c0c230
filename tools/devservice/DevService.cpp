#include "DevService.h"

namespace devservice {

DevService::DevService()
    : m_server([this](const Request& req, Response& res) { handle(req, res); }) {
    registerAccountRoutes(m_service, m_state);
    registerTranscriptionRoutes(m_service, m_state);
    registerErrorEventRoutes(m_service, m_state);
    registerControlRoutes(m_control, m_state);
    registerFileRoutes(m_service, m_state, m_control);
}

DevService::~DevService() {
    // Let held and delayed requests go before the server waits for them.
    m_state.shutdown();
    m_server.stop();
}

void DevService::handle(const Request& req, Response& res) {
    if (req.path.startsWith("/__control/")) {
        m_control.dispatch(req, res);
        return;
    }
    m_state.record(req);
    m_state.enterFlight();
    struct Leave {
        ServiceState& s;
        ~Leave() { s.leaveFlight(); }
    } leave{m_state};

    if (!m_state.waitWhileHeld(req.path)) {
        res.drop = true;
        return;
    }
    if (auto answer = m_state.takeQueued(req.path, req.method)) {
        if (answer->delayMs > 0 && !m_state.pause(answer->delayMs)) {
            res.drop = true;
            return;
        }
        res.drop = answer->drop;
        res.status = answer->status;
        res.body = answer->body;
        res.headers = answer->headers;
        return;
    }
    m_service.dispatch(req, res);
}

}  // namespace devservice
