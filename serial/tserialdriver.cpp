#include "serial/tserialdriver.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <QTimer>

#include "config/portmap.h"
#include "serial/controlblock.h"
#include "serial/serialbackend.h"

Q_LOGGING_CATEGORY(lcSerial, "vrk.serial", QtWarningMsg)

namespace {

constexpr uint32_t minBufSize = 128;
constexpr uint32_t maxBufSize = 8192;

uint32_t clampBufSize(uint32_t v) {
    return std::clamp(v, minBufSize, maxBufSize);
}

std::unique_ptr<uint8_t[]> zeroedBuffer(uint32_t size) {
    return std::make_unique<uint8_t[]>(size);
}

TSerialDriver::Error errorOf(LineFault f) {
    switch (f) {
    case LineFault::None:
        return TSerialDriver::Error::NoError;
    case LineFault::DeviceMissing:
        return TSerialDriver::Error::DeviceMissing;
    case LineFault::PermissionDenied:
        return TSerialDriver::Error::PermissionDenied;
    case LineFault::DeviceBusy:
        return TSerialDriver::Error::DeviceBusy;
    case LineFault::SettingsRefused:
        return TSerialDriver::Error::SettingsRefused;
    case LineFault::HungUp:
        return TSerialDriver::Error::DeviceGone;
    case LineFault::Other:
        break;
    }
    return TSerialDriver::Error::OtherError;
}

QString hex(const void* data, uint32_t size) {
    return QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(size)).toHex(' ');
}

} // namespace

AccessHint accessHint(const DeviceAccess& a) {
    if (!a.known) return AccessHint::Unknown;
    // Joining the group helps only when the group may read and write it.
    const bool groupMayUse = (a.mode & 060u) == 060u && !a.group.empty();
    if (groupMayUse && !a.processInGroup)
        return a.userListedInGroup ? AccessHint::LogInAgain : AccessHint::JoinGroup;
    if (!groupMayUse && (a.mode & 0600u) == 0600u && !a.processIsOwner) return AccessHint::OwnerOnly;
    return AccessHint::NoAccess;
}

TSerialDriver::TSerialDriver(QObject* owner) : TSerialDriver(makeSystemBackend(), owner) {}

TSerialDriver::TSerialDriver(std::unique_ptr<SerialBackend> backend, QObject* owner)
    : QObject(owner), backend_(std::move(backend)), receiveScratch_(zeroedBuffer(inBufSize_)) {
    // Stands in for the hidden notify window and its timer 1.
    pollTimer_ = new QTimer(this);
    pollTimer_->setObjectName(QStringLiteral("pollTimer"));
    pollTimer_->setTimerType(Qt::PreciseTimer);
    connect(pollTimer_, &QTimer::timeout, this, &TSerialDriver::PollTimerProc);
}

TSerialDriver::~TSerialDriver() {
    ClosePort();
}

// ---- properties

void TSerialDriver::setPort(TPortNumber v) {
    if (IsOpen() || v < pnCustom || v > pnCOM16) return;
    port_ = v;
    if (v != pnCustom) portName_ = QStringLiteral("\\\\.\\COM%1").arg(int(v));
}

void TSerialDriver::setPortName(const QString& v) {
    if (IsOpen()) return;
    portName_ = v;
    port_ = pnCustom;
}

void TSerialDriver::setBaudRate(TBaudRate v) {
    baudRate_ = v;
    if (v != brCustom) baudRateValue_ = BaudValueOf(v);
    if (IsOpen()) ApplyLineSettings();
}

void TSerialDriver::setBaudRateValue(uint32_t v) {
    baudRate_ = brCustom;
    baudRateValue_ = v;
    if (IsOpen()) ApplyLineSettings();
}

void TSerialDriver::setDataBits(TDataBits v) {
    dataBits_ = v;
    if (IsOpen()) ApplyLineSettings();
}

void TSerialDriver::setStopBits(TStopBits v) {
    stopBits_ = v;
    if (IsOpen()) ApplyLineSettings();
}

void TSerialDriver::setParity(TParity v) {
    parity_ = v;
    if (IsOpen()) ApplyLineSettings();
}

void TSerialDriver::setHwFlow(THwFlowControl v) {
    hwFlow_ = v;
    if (IsOpen()) ApplyLineSettings();
}

void TSerialDriver::setSwFlow(TSwFlowControl v) {
    swFlow_ = v;
    if (IsOpen()) ApplyLineSettings();
}

void TSerialDriver::setInBufSize(uint32_t v) {
    if (IsOpen()) return;
    inBufSize_ = clampBufSize(v);
    receiveScratch_ = zeroedBuffer(inBufSize_);
    setPacketSize(packetSize_);
}

void TSerialDriver::setOutBufSize(uint32_t v) {
    if (IsOpen()) return;
    outBufSize_ = clampBufSize(v);
}

void TSerialDriver::setPacketSize(int16_t v) {
    if (v <= 0) {
        packetSize_ = -1;
        return;
    }
    // A packet must fit the receive buffer: the buffer grows to it while the
    // port is closed, up to its largest size; beyond that the packet is cut
    // to what the buffer holds.
    int16_t size = int16_t(std::min<uint32_t>(uint32_t(v), maxBufSize));
    if (uint32_t(size) > inBufSize_) {
        if (IsOpen())
            size = int16_t(inBufSize_);
        else {
            packetSize_ = size;
            setInBufSize(uint32_t(size));
            return;
        }
    }
    packetSize_ = size;
}

void TSerialDriver::setPacketTimeout(int32_t v) {
    if (v < 1)
        packetTimeout_ = -1;
    else if (v < int32_t(pollingDelay_))
        packetTimeout_ = pollingDelay_ + pollingDelay_ * 40 / 100;
    else
        packetTimeout_ = v;
}

void TSerialDriver::setPollingDelay(uint16_t v) {
    if (v < 5) v = 5;
    if (v == pollingDelay_) return;
    const bool open = IsOpen();
    if (open) pollTimer_->stop();
    pollingDelay_ = v;
    if (open) pollTimer_->start(pollingDelay_);
    setPacketTimeout(packetTimeout_);
}

// ---- operations

bool TSerialDriver::OpenPort() {
    if (IsOpen()) return true;
    lastPath_ = devicePath(portName_);
    chooseBackend(lastPath_);
    if (!backend_->open(lastPath_.toStdString())) {
        Error e = errorOf(backend_->fault());
        if (e == Error::NoError) e = Error::OtherError;
        deniedAccess_ = std::make_unique<DeviceAccess>(backend_->deviceAccess());
        systemMessage_ = QString::fromLocal8Bit(backend_->systemMessage().c_str());
        setError(e);
        qCDebug(lcSerial).noquote() << "cannot open" << lastPath_ << "-" << errorString();
        return false;
    }
    if (!ApplyLineSettings()) {
        ClosePort();
        return false;
    }
    // With these a single read or write returns within about a
    // millisecond; all waiting is done by the write and read loops.
    (void)backend_->setShortTimeouts();
    pollTimer_->start(pollingDelay_);
    error_ = Error::NoError;
    ++openCount_;
    qCDebug(lcSerial).noquote() << "opened" << lastPath_ << "with line settings" << lineSettingsText();
    return true;
}

void TSerialDriver::ClosePort() {
    if (!IsOpen()) return;
    pollTimer_->stop();
    backend_->close();
    qCDebug(lcSerial).noquote() << "closed" << lastPath_;
}

void TSerialDriver::setError(Error e) {
    error_ = e;
}

bool TSerialDriver::lineLost() {
    if (!backend_->hungUp()) return false;
    if (error_ != Error::DeviceGone) {
        setError(Error::DeviceGone);
        qCDebug(lcSerial).noquote() << lastPath_ << "hung up: every transfer fails until the port is closed";
    }
    return true;
}

QString TSerialDriver::errorString() const {
    if (const std::string reason = backend_->faultText(); error_ != Error::NoError && !reason.empty())
        return QString::fromStdString(reason);
    switch (error_) {
    case Error::NoError:
        return tr("No error.");
    case Error::DeviceMissing:
        return tr("No such device: %1").arg(lastPath_);
    case Error::PermissionDenied:
        return permissionText();
    case Error::DeviceBusy:
        return tr("%1 is in use by another program.").arg(lastPath_);
    case Error::SettingsRefused:
        return tr("%1 refused the line settings.").arg(lastPath_);
    case Error::DeviceGone:
        return tr("%1 stopped working (adapter unplugged?).").arg(lastPath_);
    case Error::OtherError:
        break;
    }
    // A reason the program has no words for: the system's own (a folder, a loop of links...).
    if (!systemMessage_.isEmpty()) return tr("%1 cannot be opened: %2.").arg(lastPath_, systemMessage_);
    return tr("%1 cannot be opened.").arg(lastPath_);
}

QString TSerialDriver::permissionText() const {
    const DeviceAccess access = deniedAccess_ ? *deniedAccess_ : DeviceAccess();
    const QString group = QString::fromLocal8Bit(access.group.c_str());
    const QString mode = QStringLiteral("%1").arg(access.mode, 4, 8, QLatin1Char('0'));
    switch (accessHint(access)) {
    case AccessHint::JoinGroup:
        return tr("No permission to open %1: the user is not in the %2 group.").arg(lastPath_, group);
    case AccessHint::LogInAgain:
        return tr("No permission to open %1: the user is in the %2 group, but this session began before "
                  "joining it; log out and in again.")
            .arg(lastPath_, group);
    case AccessHint::OwnerOnly:
        return tr("No permission to open %1: only its owner %2 may open it (mode %3), so joining its group "
                  "would not help; ask the administrator for access.")
            .arg(lastPath_, QString::fromLocal8Bit(access.owner.c_str()), mode);
    case AccessHint::NoAccess:
        return tr("No permission to open %1: its permissions (mode %2) do not let this user read and write "
                  "it.")
            .arg(lastPath_, mode);
    case AccessHint::Unknown:
        break;
    }
    if (!systemMessage_.isEmpty()) return tr("No permission to open %1: %2.").arg(lastPath_, systemMessage_);
    return tr("No permission to open %1.").arg(lastPath_);
}

QString TSerialDriver::lineSettingsText() const {
    static const char* const parities[] = {"none", "odd", "even", "mark", "space"};
    static const char* const stops[] = {"1", "1.5", "2"};
    const bool known =
        parity_ >= ptNONE && parity_ <= ptSPACE && stopBits_ >= sb1BITS && stopBits_ <= sb2BITS;
    return QStringLiteral("speed=%1 data=%2 parity=%3 stop=%4")
        .arg(baudRateValue_)
        .arg(int(dataBits_) + 5)
        .arg(QLatin1String(known ? parities[parity_] : "?"), QLatin1String(known ? stops[stopBits_] : "?"));
}

bool TSerialDriver::IsOpen() const {
    return backend_->isOpen();
}

bool TSerialDriver::ApplyLineSettings() {
    if (!IsOpen()) return false;
    LineSettings s;
    s.baudRate = baudRateValue_;
    s.dataBits = dataBits_;
    s.stopBits = stopBits_;
    s.parity = parity_;
    s.hwFlow = hwFlow_;
    s.swFlow = swFlow_;
    s.enableDtr = enableDTROnOpen_;
    s.inBufSize = inBufSize_;
    const PlatformInfo platform{PlatformTag() == QLatin1String("WNT"), WindowsVersion()};
    if (!backend_->applyLineState(makeControlBlock(s, platform)) || !PurgeQueues(true, true) ||
        !backend_->setQueueSizes(inBufSize_, outBufSize_)) {
        if (!lineLost()) setError(Error::SettingsRefused);
        qCDebug(lcSerial).noquote() << lastPath_ << "refused the line settings" << lineSettingsText();
        return false;
    }
    return true;
}

bool TSerialDriver::PurgeQueues(bool rx, bool tx) {
    if (!IsOpen()) return false;
    if (!backend_->purge(rx, tx)) return false;
    packetStartTick_ = -1;
    return true;
}

uint32_t TSerialDriver::InputCount() {
    if (!IsOpen()) return 65535;
    uint32_t rx = 0;
    if (!backend_->inputCount(rx)) return 0;
    return rx;
}

uint16_t TSerialDriver::OutputRoom() {
    if (!IsOpen()) return 65535;
    uint32_t tx = 0;
    // A failed query leaves no room, so a write waits out its time-out.
    if (!backend_->outputCount(tx)) return 0;
    return uint16_t(outBufSize_ - tx);
}

TModemLines TSerialDriver::ModemLines() {
    if (!IsOpen()) return 0;
    uint32_t bits = 0;
    if (!backend_->modemStatus(bits)) return 0;
    TModemLines lines = 0;
    if (bits & msCTS) lines |= mlCTS;
    if (bits & msDSR) lines |= mlDSR;
    if (bits & msRING) lines |= mlRING;
    if (bits & msRLSD) lines |= mlCD;
    return lines;
}

uint32_t TSerialDriver::WriteBlockTimed(const void* data, uint32_t size, uint32_t timeout) {
    if (!IsOpen()) return 0;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    uint32_t total = 0;
    uint32_t lastProgress = backend_->ticks();
    lastWriteStartTick_ = lastProgress;
    readTiming_.writeStartUs = backend_->clockUs();
    while (total < size) {
        if (lineLost()) break;
        const uint16_t room = OutputRoom();
        if (room > 0) {
            if (checkLineStatus_ && ModemLines() == 0) break;
            uint32_t sent = 0;
            backend_->write(p + total, std::min<uint32_t>(size - total, room), sent);
            if (sent > 0) {
                total += sent;
                lastProgress = backend_->ticks();
                continue;
            }
        }
        if (uint32_t(backend_->ticks() - lastProgress) > timeout) break;
        backend_->waitWritable(1);
    }
    if (lcSerial().isDebugEnabled())
        qCDebug(lcSerial).noquote() << "sent" << total << "of" << size << "bytes:" << hex(data, total);
    return total;
}

uint32_t TSerialDriver::WriteBlock(const void* data, uint32_t size) {
    return WriteBlockTimed(data, size, outputTimeout_);
}

bool TSerialDriver::WriteText(const QByteArray& text) {
    return WriteBlock(text.constData(), uint32_t(text.size())) == uint32_t(text.size());
}

uint32_t TSerialDriver::ReadBlock(void* buffer, uint32_t size) {
    if (!IsOpen()) return 0;
    HoldPolling();
    uint8_t* p = static_cast<uint8_t*>(buffer);
    uint32_t total = 0;
    uint32_t lastProgress = backend_->ticks();
    // The first byte came no later than the look that found it.
    uint32_t lookTick = lastProgress;
    while (total < size) {
        if (lineLost()) break;
        const uint32_t waiting = InputCount();
        if (waiting > 0) {
            // What the read takes came by now (it takes no more than was waiting).
            const uint32_t seenUs = backend_->clockUs();
            uint32_t got = 0;
            backend_->read(p + total, std::min(size - total, waiting), got);
            // Only bytes that came count as activity: a port that keeps
            // claiming input but delivers none still times out.
            if (got > 0) {
                if (total == 0) {
                    lastReadFirstByteTick_ = lookTick;
                    readTiming_.firstUs = seenUs;
                    readTiming_.firstCount = waiting;
                }
                readTiming_.lastUs = seenUs;
                total += got;
                lastProgress = backend_->ticks();
                continue;
            }
        }
        const uint32_t idle = backend_->ticks() - lastProgress;
        if (idle > readTimeout(total > 0)) break;
        // Sleep until input comes or the time-out is due, whichever is first:
        // the processor stays idle and a reply is taken the moment it lands.
        backend_->waitReadable(std::min<uint32_t>(readTimeout(total > 0) - idle + 1, 1000));
        lookTick = backend_->ticks();
    }
    if (total == 0) {
        lastReadFirstByteTick_ = backend_->ticks();
        readTiming_.firstUs = readTiming_.lastUs = backend_->clockUs();
        readTiming_.firstCount = 0;
    }
    ReleasePolling();
    if (lcSerial().isDebugEnabled())
        qCDebug(lcSerial).noquote() << "received" << total << "of" << size << "bytes:" << hex(buffer, total);
    return total;
}

uint32_t TSerialDriver::tickStepMs() const {
    return backend_->tickStepMs();
}

uint32_t TSerialDriver::clockUs() const {
    return backend_->clockUs();
}

uint32_t TSerialDriver::clockStepUs() const {
    return backend_->clockStepUs();
}

bool TSerialDriver::isNetwork() const {
    return backend_->isNetwork();
}

QString TSerialDriver::targetText() const {
    return QString::fromStdString(backend_->targetText());
}

void TSerialDriver::chooseBackend(const QString& path) {
    const bool network = isNetworkTarget(path.toStdString());
    if (network == backend_->isNetwork()) return;
    if (!otherBackend_) otherBackend_ = network ? makeNetworkBackend() : makeSystemBackend();
    std::swap(backend_, otherBackend_);
}

uint32_t TSerialDriver::readTimeout(bool replyBegun) const {
    // Across a network a reply may take long to begin; once it has begun
    // its bytes come as on the line (over Modbus TCP all at once).
    const uint32_t own = backend_->replyTimeoutMs();
    return own > 0 && !replyBegun ? own : inputTimeout_;
}

// ---- supporting functions

uint32_t TSerialDriver::BaudValueOf(TBaudRate rate) {
    static constexpr uint32_t table[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                         14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    if (rate < brCustom || rate > br256000) return 0;
    return table[rate];
}

uint32_t TSerialDriver::PacketTransferTime(uint32_t size) const {
    // Ten bits on the line per byte.
    if (baudRateValue_ == 0) return 0;
    return uint32_t(std::lround(double(size) / (double(baudRateValue_) / 10.0) * 1000.0));
}

QString TSerialDriver::PlatformTag() {
    const OsVersion v = osVersion();
    if (!v.known) return QStringLiteral("??");
    switch (v.platformId) {
    case 0:
        return QStringLiteral("W32S");
    case 1:
        return QStringLiteral("W95");
    case 2:
        return QStringLiteral("WNT");
    default:
        return QStringLiteral("??");
    }
}

uint32_t TSerialDriver::WindowsVersion() {
    const OsVersion v = osVersion();
    if (!v.known) return 0;
    return v.major * 65536u + v.minor;
}

QString TSerialDriver::devicePath(const QString& portName) {
    return QString::fromStdString(systemDevicePath(portmap::mappedPortName(portName).toStdString()));
}

// ---- polling

void TSerialDriver::PollTimerProc() {
    if (!IsOpen() || pollingPauseCount_ > 0) return;
    uint32_t waiting = 0;
    if (!backend_->inputCount(waiting)) return;
    uint8_t* scratch = receiveScratch_.get();

    if (packetSize_ <= 0) {
        if (waiting == 0) return;
        uint32_t got = 0;
        if (backend_->read(scratch, std::min(waiting, inBufSize_), got) && got > 0 && onReceiveData_)
            onReceiveData_(this, scratch, got);
        return;
    }

    const uint32_t packet = std::min<uint32_t>(uint32_t(packetSize_), inBufSize_);
    if (waiting < packet) {
        const uint32_t now = backend_->ticks();
        if (packetTimeout_ > 0 && packetStartTick_ != -1 &&
            uint32_t(now - uint32_t(packetStartTick_)) > uint32_t(packetTimeout_)) {
            uint32_t got = 0;
            const bool ok = waiting > 0 && backend_->read(scratch, std::min(waiting, inBufSize_), got);
            packetStartTick_ = -1;
            if (ok && packetMode_ == pmPass && got > 0 && onReceivePacket_)
                onReceivePacket_(this, scratch, got);
            return;
        }
        if (waiting > 0 && packetStartTick_ == -1) packetStartTick_ = now;
        return;
    }

    do {
        uint32_t got = 0;
        if (backend_->read(scratch, packet, got) && got > 0 && onReceivePacket_) {
            onReceivePacket_(this, scratch, got);
            // The handler may have closed the port or paused the polling.
            if (!IsOpen() || pollingPauseCount_ > 0) return;
        }
        // The rest of the input started when this packet ended. When no
        // start was recorded (the whole packet came between two ticks) the
        // rest is taken to start now, so that its time-out runs from here.
        if (packetStartTick_ == -1)
            packetStartTick_ = backend_->ticks();
        else
            packetStartTick_ = uint32_t(uint32_t(packetStartTick_) + PacketTransferTime(packet));
        waiting -= packet;
        if (waiting == 0) packetStartTick_ = -1;
    } while (waiting >= packet);
}
