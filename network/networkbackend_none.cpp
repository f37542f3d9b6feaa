// A build whose Qt has no network module: network targets are named as such
// and refused with the reason.
#include <QCoreApplication>

#include "network/networktarget.h"
#include "serial/serialbackend.h"

namespace {

class NoNetworkBackend final : public SerialBackend {
public:
    bool open(const std::string& path) override {
        path_ = QString::fromStdString(path);
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    bool applyLineState(const DeviceControlBlock&) override { return false; }
    bool setQueueSizes(uint32_t, uint32_t) override { return false; }
    bool setShortTimeouts() override { return false; }
    bool purge(bool, bool) override { return false; }
    bool inputCount(uint32_t& count) override { return (count = 0), false; }
    bool outputCount(uint32_t& count) override { return (count = 0), false; }
    bool modemStatus(uint32_t& bits) override { return (bits = 0), false; }
    bool read(void*, uint32_t, uint32_t& count) override { return (count = 0), false; }
    bool write(const void*, uint32_t, uint32_t& count) override { return (count = 0), false; }
    void waitReadable(uint32_t) override {}
    void waitWritable(uint32_t) override {}
    bool isNetwork() const override { return true; }
    std::string faultText() const override {
        return QCoreApplication::translate("NetworkLink", "This build cannot open network addresses: %1")
            .arg(path_)
            .toStdString();
    }

private:
    QString path_;
};

} // namespace

bool isNetworkTarget(const std::string& path) {
    return net::isNetworkTarget(QString::fromStdString(path));
}

std::unique_ptr<SerialBackend> makeNetworkBackend() {
    return std::make_unique<NoNetworkBackend>();
}
