#pragma once

#include <vector>

#include "platform/Notifier.h"

class FakeNotifier : public Notifier {
public:
    struct Notice {
        QString title, body;
    };
    void notify(const QString& title, const QString& body) override {
        notices.push_back({title, body});
    }
    std::vector<Notice> notices;
};
