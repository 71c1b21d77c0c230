#pragma once

#include <QList>
#include <QUrl>
#include <atomic>
#include <memory>

#include "service/AuthTestFixture.h"
#include "windows/LoginViewModel.h"

// A sign-in model against its own stand-in: the real account session, a
// counted pull, recorded link openings.
struct LoginFixture {
    AuthTestFixture fx;
    std::atomic<int> pulls{0};
    int dismissals = 0;
    QList<QUrl> opened;
    bool hasTelegram = false;
    bool telegramOpens = true;

    LoginViewModel* makeModel() {
        LoginViewModel::Account a;
        a.login = [this](const QString& e, const QString& p) { fx.auth->login(e, p); };
        a.registerAccount = [this](const QString& e, const QString& p, const QString& n) {
            return fx.auth->registerAccount(e, p, n);
        };
        a.resendVerification = [this](const QString& e) { return fx.auth->resendVerification(e); };
        a.requestPasswordReset = [this](const QString& e) {
            return fx.auth->requestPasswordReset(e);
        };
        a.loadUsageStats = [this] { fx.auth->loadUsageStats(); };
        a.pullAll = [this] { ++pulls; };
        LoginViewModel::Links links;
        links.hasTelegramHandler = [this] { return hasTelegram; };
        links.openUrl = [this](const QUrl& url) {
            opened << url;
            return url.scheme() == "https" || telegramOpens;
        };
        return new LoginViewModel(a, links, [this] { ++dismissals; });
    }
};
