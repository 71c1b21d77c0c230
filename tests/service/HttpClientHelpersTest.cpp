// The byte-exact multipart builder and the service addresses.
#include <gtest/gtest.h>

#include "service/HttpClient.h"
#include "service/HttpMultipart.h"
#include "service/HttpServiceConfig.h"

namespace {

TEST(MultipartFormDataTest, BuildsTheWireFormatByteForByte) {
    MultipartFormData form("ormil-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    const QByteArray payload("OggS\x00\r\n--\xff", 10);
    form.addFile("audio", "a.ogg", "application/octet-stream", payload);
    form.addField("format", "ogg");
    form.addField("custom_prompt", "Line one\r\nline \"two\"");
    form.addField("translate_to", "");

    const QByteArray b = "ormil-0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";
    const QByteArray expected =
        "--" + b + "\r\n" +
        "Content-Disposition: form-data; name=\"audio\"; filename=\"a.ogg\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n" +
        payload + "\r\n" + "--" + b + "\r\n" +
        "Content-Disposition: form-data; name=\"format\"\r\n\r\nogg\r\n" + "--" + b + "\r\n" +
        "Content-Disposition: form-data; name=\"custom_prompt\"\r\n\r\nLine one\r\nline "
        "\"two\"\r\n" +
        "--" + b + "\r\n" + "Content-Disposition: form-data; name=\"translate_to\"\r\n\r\n\r\n" +
        "--" + b + "--\r\n";
    EXPECT_EQ(form.body(), expected);
    EXPECT_EQ(form.contentType(), "multipart/form-data; boundary=" + b);
}

TEST(MultipartFormDataTest, AnEmptyFormIsOnlyTheClosingLine) {
    EXPECT_EQ(MultipartFormData("x").body(), "--x--\r\n");
}

TEST(ServiceConfigTest, EnvironmentOverridesTheBuildDefaults) {
    struct Case {
        const char* variable;
        QString (*read)();
    };
    const Case cases[] = {
        {"ORMIL_API_BASE", &ServiceConfig::apiBase},
        {"ORMIL_AUTH_BASE", &ServiceConfig::authBase},
        {"ORMIL_UPDATE_BASE", &ServiceConfig::updateBase},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable);
        qunsetenv(c.variable);
        // The build's default: a usable base without a trailing slash.
        const QString fallback = c.read();
        EXPECT_NO_THROW(HttpClient::checkURL(fallback));
        EXPECT_FALSE(fallback.endsWith('/'));
        qputenv(c.variable, "  https://api.example.test//  ");
        EXPECT_EQ(c.read(), "https://api.example.test");
        qputenv(c.variable, "");
        EXPECT_EQ(c.read(), fallback);
        qunsetenv(c.variable);
    }
}

}  // namespace
