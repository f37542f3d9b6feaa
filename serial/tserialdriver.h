#pragma once
// The program's only access to the serial line: opens one port by name,
// configures it from its properties, sends with a no-progress time-out,
// reads with an inactivity time-out, and while open drains unsolicited input
// from a polling timer. The operating system sits behind SerialBackend.
#include <cstdint>
#include <functional>
#include <memory>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

class QTimer;
class SerialBackend;
struct DeviceAccess;

// The trace of the line (off by default; QT_LOGGING_RULES="vrk.serial=true"):
// the settings applied at each open, every block sent and received, failures.
Q_DECLARE_LOGGING_CATEGORY(lcSerial)

enum TPortNumber {
    pnCustom,
    pnCOM1,
    pnCOM2,
    pnCOM3,
    pnCOM4,
    pnCOM5,
    pnCOM6,
    pnCOM7,
    pnCOM8,
    pnCOM9,
    pnCOM10,
    pnCOM11,
    pnCOM12,
    pnCOM13,
    pnCOM14,
    pnCOM15,
    pnCOM16
};
enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum TDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
enum TStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
enum TParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };
enum TSwFlowControl { sfNONE, sfXONXOFF };
enum TPacketMode { pmDiscard, pmPass };
enum TModemLine { mlCTS = 1, mlDSR = 2, mlRING = 4, mlCD = 8 };
using TModemLines = unsigned; // a set of TModemLine bits

class TSerialDriver;
using TReceiveDataEvent = std::function<void(TSerialDriver* sender, const uint8_t* data, uint32_t size)>;
using TReceivePacketEvent = std::function<void(TSerialDriver* sender, const uint8_t* packet, uint32_t size)>;

class TSerialDriver : public QObject {
    Q_OBJECT
public:
    // Why the port could not be opened or stopped working.
    enum class Error {
        NoError,
        DeviceMissing,    // no such device
        PermissionDenied, // this user may not open it
        DeviceBusy,       // another program has it open
        SettingsRefused,  // not a serial line, or it refused the line settings
        DeviceGone,       // it went away while open (an adapter pulled)
        OtherError,
    };
    Q_ENUM(Error)

    explicit TSerialDriver(QObject* owner = nullptr);
    // Uses the given backend instead of the operating system's (tests).
    TSerialDriver(std::unique_ptr<SerialBackend> backend, QObject* owner);
    ~TSerialDriver() override;

    // ---- properties
    TPortNumber Port() const { return port_; }
    void setPort(TPortNumber v);
    QString PortName() const { return portName_; }
    void setPortName(const QString& v);
    TBaudRate BaudRate() const { return baudRate_; }
    void setBaudRate(TBaudRate v);
    uint32_t BaudRateValue() const { return baudRateValue_; }
    void setBaudRateValue(uint32_t v);
    TDataBits DataBits() const { return dataBits_; }
    void setDataBits(TDataBits v);
    TStopBits StopBits() const { return stopBits_; }
    void setStopBits(TStopBits v);
    TParity Parity() const { return parity_; }
    void setParity(TParity v);
    THwFlowControl HwFlow() const { return hwFlow_; }
    void setHwFlow(THwFlowControl v);
    TSwFlowControl SwFlow() const { return swFlow_; }
    void setSwFlow(TSwFlowControl v);
    uint32_t InBufSize() const { return inBufSize_; }
    void setInBufSize(uint32_t v);
    uint32_t OutBufSize() const { return outBufSize_; }
    void setOutBufSize(uint32_t v);
    int16_t PacketSize() const { return packetSize_; }
    void setPacketSize(int16_t v);
    int32_t PacketTimeout() const { return packetTimeout_; }
    void setPacketTimeout(int32_t v);
    TPacketMode PacketMode() const { return packetMode_; }
    void setPacketMode(TPacketMode v) { packetMode_ = v; }
    uint16_t PollingDelay() const { return pollingDelay_; }
    void setPollingDelay(uint16_t v);
    bool EnableDTROnOpen() const { return enableDTROnOpen_; }
    void setEnableDTROnOpen(bool v) { enableDTROnOpen_ = v; }
    uint16_t OutputTimeout() const { return outputTimeout_; }
    void setOutputTimeout(uint16_t v) { outputTimeout_ = v; }
    uint32_t InputTimeout() const { return inputTimeout_; }
    void setInputTimeout(uint32_t v) { inputTimeout_ = v; }
    bool CheckLineStatus() const { return checkLineStatus_; }
    void setCheckLineStatus(bool v) { checkLineStatus_ = v; }
    void setOnReceiveData(TReceiveDataEvent e) { onReceiveData_ = std::move(e); }
    void setOnReceivePacket(TReceivePacketEvent e) { onReceivePacket_ = std::move(e); }

    // ---- operations
    bool OpenPort();
    void ClosePort();
    bool IsOpen() const;
    bool ApplyLineSettings();
    bool PurgeQueues(bool rx, bool tx);
    uint32_t InputCount();
    uint16_t OutputRoom();
    TModemLines ModemLines();
    void HoldPolling() { ++pollingPauseCount_; }
    void ReleasePolling() { --pollingPauseCount_; }
    int32_t PollingPauseCount() const { return pollingPauseCount_; }
    uint32_t WriteBlockTimed(const void* data, uint32_t size, uint32_t timeout);
    uint32_t WriteBlock(const void* data, uint32_t size);
    bool WriteText(const QByteArray& text);
    uint32_t ReadBlock(void* buffer, uint32_t size);

    // When the last WriteBlock began, and when the first byte of the last
    // ReadBlock's input came (the read's start when bytes were already
    // waiting; the read's end when none came), on the clock of the
    // time-outs (tickCount), which moves in steps of tickStepMs.
    uint32_t lastWriteStartTick() const { return lastWriteStartTick_; }
    uint32_t lastReadFirstByteTick() const { return lastReadFirstByteTick_; }
    uint32_t tickStepMs() const;

    // The same on the finer clock that a reply's arrival is timed on
    // (clockUs, µs, moving in steps of clockStepUs): when the last write
    // began; by when the last read's first bytes had come (just after the
    // look that found them) and how many had come by then (all that waited,
    // taken or not); by when its last bytes had come. With no bytes the last two are the read's end.
    struct ReadTiming {
        uint32_t writeStartUs = 0;
        uint32_t firstUs = 0;
        uint32_t firstCount = 0;
        uint32_t lastUs = 0;
    };
    const ReadTiming& lastReadTiming() const { return readTiming_; }
    uint32_t clockUs() const;
    uint32_t clockStepUs() const;
    // Counts the successful opens: a new count is a new line.
    uint32_t openCount() const { return openCount_; }

    // The reason of the last failure: set by a failed open, a refused line
    // setting and a hang-up; a successful open clears it.
    Error error() const { return error_; }
    // The reason in the current language, naming the device.
    QString errorString() const;
    // The device path of the last open attempt.
    QString devicePathInUse() const { return lastPath_; }
    // True when the port in use (or last tried) is a relay behind a network
    // gateway; targetText() then names it ("Modbus TCP 10.0.0.5:502"), else
    // it is empty.
    bool isNetwork() const;
    QString targetText() const;

    // ---- supporting functions
    static uint32_t BaudValueOf(TBaudRate rate);
    // Milliseconds that size bytes take on the line at BaudRateValue (10 bits a byte).
    uint32_t PacketTransferTime(uint32_t size) const;
    // "W32S", "W95", "WNT" from the Windows version query; "??" and 0 when
    // the query fails, which is always the case on other systems.
    static QString PlatformTag();
    static uint32_t WindowsVersion();

    // The polling procedure, run by the polling timer while the port is open.
    void PollTimerProc();

    // The device path that a port name opens on this system
    // ("\\.\COMn" -> $VRK_COMn or /dev/ttyS(n-1); "/..." unchanged).
    static QString devicePath(const QString& portName);

private:
    void setError(Error e);
    // Takes the network backend for a network target, the serial one for any other.
    void chooseBackend(const QString& path);
    // The read's inactivity time-out: InputTimeout, but a network port's own
    // reply time-out until the reply has begun.
    uint32_t readTimeout(bool replyBegun) const;
    // True (and the reason kept, once) when the device has hung up.
    bool lineLost();
    // "speed=9600 data=8 parity=none stop=1", as the trace gives them.
    QString lineSettingsText() const;
    // Why the device refused this user, and what would let them open it.
    QString permissionText() const;

    std::unique_ptr<SerialBackend> backend_;
    std::unique_ptr<SerialBackend> otherBackend_; // the serial or the network one, whichever is not in use
    QTimer* pollTimer_ = nullptr;

    TPortNumber port_ = pnCOM2;
    QString portName_ = QStringLiteral("\\\\.\\COM2");
    TBaudRate baudRate_ = br9600;
    uint32_t baudRateValue_ = 9600;
    TDataBits dataBits_ = db8BITS;
    TStopBits stopBits_ = sb1BITS;
    TParity parity_ = ptNONE;
    THwFlowControl hwFlow_ = hfNONERTSON;
    TSwFlowControl swFlow_ = sfNONE;
    uint32_t inBufSize_ = 2048;
    uint32_t outBufSize_ = 2048;
    int16_t packetSize_ = -1;
    int32_t packetTimeout_ = -1;
    TPacketMode packetMode_ = pmDiscard;
    uint16_t pollingDelay_ = 50;
    bool enableDTROnOpen_ = true;
    uint16_t outputTimeout_ = 500;
    uint32_t inputTimeout_ = 200;
    bool checkLineStatus_ = false;
    TReceiveDataEvent onReceiveData_;
    TReceivePacketEvent onReceivePacket_;

    std::unique_ptr<uint8_t[]> receiveScratch_;
    int64_t packetStartTick_ = -1;
    uint32_t lastWriteStartTick_ = 0;
    uint32_t lastReadFirstByteTick_ = 0;
    ReadTiming readTiming_;
    uint32_t openCount_ = 0;
    int32_t pollingPauseCount_ = 0;
    Error error_ = Error::NoError;
    QString lastPath_;
    // What the system told of the last failed open: who may open the device,
    // and its own words for the reason.
    std::unique_ptr<DeviceAccess> deniedAccess_;
    QString systemMessage_;
};
