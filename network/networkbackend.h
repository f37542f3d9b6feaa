#pragma once
// The serial driver's backend for a relay behind a network gateway: a TCP
// connection (Qt Network) that takes the serial frames the register bus
// writes and gives back the reply bytes as the line would. For Modbus TCP
// each request frame becomes an MBAP request with a new transaction id, and
// only the reply carrying that id comes back, as a serial frame with its CRC;
// for RTU over TCP the bytes pass unchanged.
//
// Connecting lets the caller's message loop run (the window stays alive,
// as in a wait); the transfers themselves block, as the serial ones do.
#include <memory>
#include <QAbstractSocket>
#include <QByteArray>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include "network/networktarget.h"
#include "serial/serialbackend.h"

class QTcpSocket;

// The trace of the connection (QT_LOGGING_RULES="vrk.network=true").
Q_DECLARE_LOGGING_CATEGORY(lcNetwork)

class NetworkBackend final : public SerialBackend {
public:
    NetworkBackend();
    ~NetworkBackend() override;

    bool open(const std::string& path) override;
    void close() override;
    bool isOpen() const override;

    // A network port has no line settings, queues or modem lines: these
    // succeed while it is open.
    bool applyLineState(const DeviceControlBlock&) override { return isOpen(); }
    bool setQueueSizes(uint32_t rx, uint32_t tx) override;
    bool setShortTimeouts() override { return isOpen(); }
    bool modemStatus(uint32_t& bits) override;

    bool purge(bool rx, bool tx) override;
    bool inputCount(uint32_t& count) override;
    bool outputCount(uint32_t& count) override;
    bool read(void* buffer, uint32_t size, uint32_t& count) override;
    bool write(const void* data, uint32_t size, uint32_t& count) override;
    void waitReadable(uint32_t ms) override;
    void waitWritable(uint32_t ms) override;

    uint32_t ticks() const override;
    LineFault fault() const override;
    bool hungUp() const override { return lost_; }
    bool isNetwork() const override { return true; }
    uint32_t replyTimeoutMs() const override { return target_.replyTimeoutMs; }
    std::string faultText() const override;
    std::string targetText() const override;

    // Why a connection could not be made or was lost.
    enum class Failure {
        None,
        BadAddress,     // the target text is not sound
        NameNotFound,   // the host name is not known
        Refused,        // nothing listens at that port
        NoRoute,        // the network or the host cannot be reached
        ConnectTimeout, // no answer within the connect time-out
        ClosedByPeer,   // the far end closed the connection
        Lost,           // reset, or the network went away
        Other,
    };
    Failure failure() const { return failure_; }

private:
    // Takes what the socket holds into the reply bytes; notes a lost connection.
    void pull();
    bool connected() const;
    void noteLoss();
    void setFailure(Failure f, QAbstractSocket::SocketError e);

    std::unique_ptr<QTcpSocket> socket_;
    net::Target target_;
    QString targetError_; // BadAddress: why
    QString socketError_; // the system's words for the last socket error
    QAbstractSocket::SocketError lastSocketError_ = QAbstractSocket::UnknownSocketError;
    Failure failure_ = Failure::None;
    bool open_ = false;
    bool lost_ = false;
    QByteArray request_;  // serial bytes written that do not make a whole frame yet (Modbus TCP)
    QByteArray incoming_; // MBAP bytes not yet a whole reply
    QByteArray replies_;  // the reply bytes as the line would give them
    uint16_t transaction_ = 0;
    bool awaiting_ = false; // a request went out and its reply has not come
    uint32_t txQueue_ = 2048;
    QElapsedTimer clock_;
};
