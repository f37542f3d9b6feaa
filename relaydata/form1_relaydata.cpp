// The main window's data tied to the relay it came from: the setpoints last
// read (the value cells' tooltips and marks, the compare window) and the
// fault log (its rows and notice) say so once the relay connected is another
// or none; each page marks its own. The rules live in relaydata/provenance.h.
#include "app/tform1.h"
#include "config/linesettings.h"
#include "config/tform2.h"
#include "relaydata/provenance.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"

core::Identity TForm1::relayNow() const {
    core::Identity id;
    if (!SerialDriver1->IsOpen()) return id;
    id.port = SerialDriver1->PortName();
    id.line = linescan::lineText(SerialDriver1->BaudRateValue(), SerialDriver1->Parity(),
                                 SerialDriver1->DataBits(), SerialDriver1->StopBits());
    id.address = form2_ ? form2_->busAddress() : 0;
    id.variant = variantNow_;
    id.complete = variantNow_.has_value();
    return id;
}

relaydata::Source TForm1::freshSource(std::optional<int> variantRead) const {
    relaydata::Source s;
    s.relay = relayNow();
    if (variantRead) s.relay.variant = variantRead;
    s.relay.readAt = seams::now();
    return s;
}

void TForm1::noteVariant(int variant) {
    if (variantNow_ == variant) return;
    variantNow_ = variant;
    relayChanged();
}

void TForm1::relayChanged() {
    if (!SerialDriver1->IsOpen()) variantNow_.reset();
    const core::Identity now = relayNow();
    const bool connected = SerialDriver1->IsOpen();
    setpointPage().relayChanged(now, connected);
    faultPage().relayChanged(now, connected);
}
