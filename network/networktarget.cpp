#include "network/networktarget.h"

#include <QCoreApplication>
#include <QUrl>
#include <QUrlQuery>

namespace net {

namespace {
const QString kTcp = QStringLiteral("tcp");
const QString kRtuTcp = QStringLiteral("rtu+tcp");
} // namespace

bool isNetworkTarget(const QString& text) {
    return text.startsWith(kTcp + QLatin1String("://"), Qt::CaseInsensitive) ||
           text.startsWith(kRtuTcp + QLatin1String("://"), Qt::CaseInsensitive);
}

std::optional<Target> parseTarget(const QString& text, QString* error) {
    auto fail = [&](const QString& why) -> std::optional<Target> {
        if (error)
            *error =
                QCoreApplication::translate("NetworkLink", "%1 is not a network address: %2").arg(text, why);
        return std::nullopt;
    };
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || !isNetworkTarget(text.trimmed()))
        return fail(
            QCoreApplication::translate("NetworkLink", "write tcp://HOST:PORT or rtu+tcp://HOST:PORT."));
    Target t;
    t.framing =
        url.scheme().compare(kTcp, Qt::CaseInsensitive) == 0 ? Framing::ModbusTcp : Framing::RtuOverTcp;
    t.host = url.host();
    if (t.host.isEmpty()) return fail(QCoreApplication::translate("NetworkLink", "the host is missing."));
    if (!url.userInfo().isEmpty() || !(url.path().isEmpty() || url.path() == QLatin1String("/")) ||
        url.hasFragment())
        return fail(
            QCoreApplication::translate("NetworkLink", "only a host, a port and ?timeout=MS may be given."));
    const int port = url.port(-1);
    if (port == 0) return fail(QCoreApplication::translate("NetworkLink", "the port must be 1..65535."));
    if (port < 0) {
        // A device server has no standard port; Modbus TCP has 502.
        if (t.framing == Framing::RtuOverTcp)
            return fail(QCoreApplication::translate("NetworkLink", "the port is missing."));
    } else {
        t.port = uint16_t(port);
    }
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems()) {
        if (key != QLatin1String("timeout"))
            return fail(QCoreApplication::translate("NetworkLink", "unknown setting \"%1\".").arg(key));
        bool ok = false;
        const uint v = value.toUInt(&ok);
        if (!ok || v < 1 || v > kMaxReplyTimeoutMs)
            return fail(QCoreApplication::translate("NetworkLink", "the reply time-out must be 1..%1 ms.")
                            .arg(kMaxReplyTimeoutMs));
        t.replyTimeoutMs = v;
    }
    return t;
}

QString hostAndPort(const Target& t) {
    const QString host =
        t.host.contains(QLatin1Char(':')) ? QLatin1Char('[') + t.host + QLatin1Char(']') : t.host;
    return host + QLatin1Char(':') + QString::number(t.port);
}

QString framingName(Framing f) {
    return f == Framing::ModbusTcp ? QCoreApplication::translate("NetworkLink", "Modbus TCP")
                                   : QCoreApplication::translate("NetworkLink", "RTU over TCP");
}

QString describe(const Target& t) {
    return framingName(t.framing) + QLatin1Char(' ') + hostAndPort(t);
}

} // namespace net
