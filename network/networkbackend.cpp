#include "network/networkbackend.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include "network/mbap.h"

Q_LOGGING_CATEGORY(lcNetwork, "vrk.network", QtWarningMsg)

bool isNetworkTarget(const std::string& path) {
    return net::isNetworkTarget(QString::fromStdString(path));
}

std::unique_ptr<SerialBackend> makeNetworkBackend() {
    return std::make_unique<NetworkBackend>();
}

NetworkBackend::NetworkBackend() = default;

NetworkBackend::~NetworkBackend() {
    close();
}

bool NetworkBackend::open(const std::string& path) {
    close();
    failure_ = Failure::None;
    lastSocketError_ = QAbstractSocket::UnknownSocketError;
    socketError_.clear();
    const auto target = net::parseTarget(QString::fromStdString(path), &targetError_);
    if (!target) {
        failure_ = Failure::BadAddress;
        return false;
    }
    target_ = *target;
    socket_ = std::make_unique<QTcpSocket>();
    // The first real error is kept: the time-out of a look that found
    // nothing is no error of the connection.
    QObject::connect(socket_.get(), &QAbstractSocket::errorOccurred, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::SocketTimeoutError) return;
        lastSocketError_ = e;
        socketError_ = socket_->errorString();
    });
    qCDebug(lcNetwork).noquote() << "connecting to" << net::describe(target_);
    socket_->connectToHost(target_.host, target_.port);

    // The message loop runs while the connection is made (a name looked up,
    // an unreachable host waited for), as it does in a wait.
    QElapsedTimer waited;
    waited.start();
    const auto settled = [this] {
        const auto s = socket_->state();
        return s == QAbstractSocket::ConnectedState || s == QAbstractSocket::UnconnectedState;
    };
    if (!settled() && QCoreApplication::instance()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(socket_.get(), &QAbstractSocket::stateChanged, &loop, [&] {
            if (settled()) loop.quit();
        });
        timer.start(int(net::kConnectTimeoutMs));
        (void)loop.exec();
    }
    // No running loop (or one that is quitting): wait here instead.
    if (!settled() && waited.elapsed() < net::kConnectTimeoutMs)
        socket_->waitForConnected(int(net::kConnectTimeoutMs - waited.elapsed()));

    if (socket_->state() != QAbstractSocket::ConnectedState) {
        // Still connecting: our time-out. Given up: the error it gave up with
        // (a time-out of the socket's own wait is not passed to the handler above).
        QAbstractSocket::SocketError e = QAbstractSocket::SocketTimeoutError;
        if (socket_->state() == QAbstractSocket::UnconnectedState)
            e = lastSocketError_ != QAbstractSocket::UnknownSocketError ? lastSocketError_ : socket_->error();
        switch (e) {
        case QAbstractSocket::HostNotFoundError:
            failure_ = Failure::NameNotFound;
            break;
        case QAbstractSocket::ConnectionRefusedError:
            failure_ = Failure::Refused;
            break;
        case QAbstractSocket::NetworkError:
            failure_ = Failure::NoRoute;
            break;
        case QAbstractSocket::SocketTimeoutError:
            failure_ = Failure::ConnectTimeout;
            break;
        default:
            failure_ = Failure::Other;
            break;
        }
        qCDebug(lcNetwork).noquote() << "cannot connect:" << QString::fromStdString(faultText());
        socket_->abort();
        socket_.reset();
        return false;
    }
    // A request is one small write: it must leave at once, not wait for more.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    open_ = true;
    lost_ = false;
    request_.clear();
    incoming_.clear();
    replies_.clear();
    awaiting_ = false;
    qCDebug(lcNetwork).noquote() << "connected to" << net::describe(target_) << "in" << waited.elapsed()
                                 << "ms";
    return true;
}

void NetworkBackend::close() {
    if (socket_) {
        socket_->abort();
        socket_.reset();
    }
    open_ = false;
    lost_ = false;
}

bool NetworkBackend::isOpen() const {
    return open_;
}

bool NetworkBackend::connected() const {
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void NetworkBackend::noteLoss() {
    if (lost_ || !open_) return;
    lost_ = true;
    failure_ =
        lastSocketError_ == QAbstractSocket::RemoteHostClosedError ? Failure::ClosedByPeer : Failure::Lost;
    qCDebug(lcNetwork).noquote() << "connection lost:" << QString::fromStdString(faultText());
}

void NetworkBackend::pull() {
    if (!socket_ || lost_) return;
    // Without a running message loop the socket learns of new bytes (and of a
    // closed connection) only when asked.
    if (socket_->bytesAvailable() == 0 && socket_->state() == QAbstractSocket::ConnectedState)
        (void)socket_->waitForReadyRead(0);
    const QByteArray got = socket_->readAll();
    if (!got.isEmpty()) {
        if (target_.framing == net::Framing::RtuOverTcp) {
            replies_ += got;
        } else {
            incoming_ += got;
            for (;;) {
                mbap::Reply reply;
                const mbap::Take take = mbap::takeReply(incoming_, &reply);
                if (take == mbap::Take::Incomplete) break;
                if (take == mbap::Take::Broken) {
                    qCDebug(lcNetwork).noquote()
                        << "not a Modbus TCP reply, dropped:" << incoming_.toHex(' ');
                    incoming_.clear();
                    break;
                }
                if (awaiting_ && reply.transaction == transaction_) {
                    replies_ += reply.rtu;
                    awaiting_ = false;
                } else {
                    // A late answer to an earlier request, or a stray one.
                    qCDebug(lcNetwork).noquote() << "reply of transaction" << reply.transaction
                                                 << "dropped; waiting for" << transaction_;
                }
            }
        }
    }
    if (socket_->state() != QAbstractSocket::ConnectedState) noteLoss();
}

bool NetworkBackend::setQueueSizes(uint32_t, uint32_t tx) {
    txQueue_ = tx;
    return isOpen();
}

bool NetworkBackend::modemStatus(uint32_t& bits) {
    // A gateway has no modem lines: report the ones a ready device shows.
    bits = connected() ? (msCTS | msDSR) : 0;
    return isOpen();
}

bool NetworkBackend::purge(bool rx, bool tx) {
    if (!isOpen()) return false;
    if (rx) {
        pull();
        if (!replies_.isEmpty() || !incoming_.isEmpty())
            qCDebug(lcNetwork) << "discarded" << replies_.size() + incoming_.size() << "bytes";
        replies_.clear();
        incoming_.clear();
    }
    if (tx) request_.clear();
    return true;
}

bool NetworkBackend::inputCount(uint32_t& count) {
    if (!isOpen()) return false;
    pull();
    // Bytes of a reply still being received count as well, so that the bus
    // discards them before its next request.
    count = uint32_t(replies_.size() + incoming_.size());
    return true;
}

bool NetworkBackend::outputCount(uint32_t& count) {
    if (!isOpen()) return false;
    count = socket_ ? uint32_t(std::min<qint64>(socket_->bytesToWrite(), txQueue_)) : 0;
    return true;
}

bool NetworkBackend::read(void* buffer, uint32_t size, uint32_t& count) {
    count = 0;
    if (!isOpen()) return false;
    pull();
    count = uint32_t(std::min<qsizetype>(size, replies_.size()));
    std::memcpy(buffer, replies_.constData(), count);
    replies_.remove(0, count);
    return count > 0 || !lost_;
}

bool NetworkBackend::write(const void* data, uint32_t size, uint32_t& count) {
    count = 0;
    if (!connected()) {
        pull();
        return false;
    }
    if (target_.framing == net::Framing::RtuOverTcp) {
        const qint64 n = socket_->write(static_cast<const char*>(data), size);
        count = n > 0 ? uint32_t(n) : 0;
    } else {
        // The bus writes whole frames; the request leaves once its CRC is in.
        request_.append(static_cast<const char*>(data), qsizetype(size));
        count = size;
        if (mbap::isWholeRtuFrame(request_)) {
            ++transaction_;
            awaiting_ = true;
            socket_->write(mbap::requestFromRtu(request_, transaction_));
            request_.clear();
        } else if (request_.size() > mbap::kMaxRtuFrame) {
            // Not a frame a relay would take either: it answers nothing.
            qCDebug(lcNetwork).noquote() << "not a whole frame, not sent:" << request_.toHex(' ');
            request_.clear();
        }
    }
    socket_->flush();
    if (socket_->state() != QAbstractSocket::ConnectedState) noteLoss();
    return count > 0;
}

void NetworkBackend::waitReadable(uint32_t ms) {
    if (!connected() || !replies_.isEmpty()) return;
    if (socket_->bytesAvailable() > 0) return;
    (void)socket_->waitForReadyRead(int(ms));
}

void NetworkBackend::waitWritable(uint32_t ms) {
    if (connected()) (void)socket_->waitForBytesWritten(int(ms));
}

uint32_t NetworkBackend::ticks() const {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

LineFault NetworkBackend::fault() const {
    switch (failure_) {
    case Failure::None:
        return LineFault::None;
    case Failure::BadAddress:
    case Failure::NameNotFound:
    case Failure::Refused:
    case Failure::NoRoute:
        return LineFault::DeviceMissing;
    case Failure::ClosedByPeer:
    case Failure::Lost:
        return LineFault::HungUp;
    case Failure::ConnectTimeout:
    case Failure::Other:
        break;
    }
    return LineFault::Other;
}

std::string NetworkBackend::faultText() const {
    const QString where = net::hostAndPort(target_);
    QString text;
    switch (failure_) {
    case Failure::None:
        return {};
    case Failure::BadAddress:
        text = targetError_;
        break;
    case Failure::NameNotFound:
        text =
            QCoreApplication::translate("NetworkLink", "The host name %1 was not found.").arg(target_.host);
        break;
    case Failure::Refused:
        text = QCoreApplication::translate("NetworkLink",
                                           "%1 refused the connection (nothing listens at that port?).")
                   .arg(where);
        break;
    case Failure::NoRoute:
        text = QCoreApplication::translate("NetworkLink",
                                           "%1 cannot be reached (no route to that network or host).")
                   .arg(where);
        break;
    case Failure::ConnectTimeout:
        text =
            QCoreApplication::translate("NetworkLink", "%1 did not answer within %2 s (connection time-out).")
                .arg(where)
                .arg(net::kConnectTimeoutMs / 1000);
        break;
    case Failure::ClosedByPeer:
        text = QCoreApplication::translate("NetworkLink", "%1 closed the connection.").arg(where);
        break;
    case Failure::Lost:
        text = QCoreApplication::translate("NetworkLink", "The connection to %1 was lost: %2")
                   .arg(where, socketError_);
        break;
    case Failure::Other:
        text =
            QCoreApplication::translate("NetworkLink", "Cannot connect to %1: %2").arg(where, socketError_);
        break;
    }
    return text.toStdString();
}

std::string NetworkBackend::targetText() const {
    if (target_.host.isEmpty()) return {};
    return net::describe(target_).toStdString();
}
