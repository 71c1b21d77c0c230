#pragma once

#include <QStringList>
#include <stdexcept>

#include "records/RetryQueueService.h"

// A retry delivery that cannot reach the service: every transcription
// fails; what it would insert is kept.
class OfflineDelivery : public RetryDelivery {
public:
    QString transcribe(const QByteArray&, const QString&, const QString&, const QString&,
                       const QString&) override {
        throw std::runtime_error("offline");
    }
    std::optional<QString> process(const QString& text) override { return text; }
    bool isProcessTrusted() override { return true; }
    void insertTextViaPasteboard(const QString& text) override { inserted << text; }
    void playSuccessSound() override {}
    void playErrorSound() override {}
    QStringList inserted;
};
