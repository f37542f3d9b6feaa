// The main window's data tied to the relay it came from: the setpoints last
// read (the value cells' tooltips and marks, the compare window) and the
// fault log (its rows and notice) say so once the relay connected is another
// or none; each page marks its own. The rules live in relaydata/provenance.h.
#include "app/tform1.h"
#include "core/link.h"
#include "relaydata/provenance.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"

core::Identity TForm1::relayNow() const {
    if (!SerialDriver1->IsOpen()) return {};
    core::Identity id = Link1->identity();
    id.readAt = QDateTime(); // a source stamps its own time read
    return id;
}

relaydata::Source TForm1::freshSource(std::optional<int> variantRead) const {
    relaydata::Source s;
    s.relay = relayNow();
    if (variantRead) s.relay.variant = variantRead;
    s.relay.readAt = seams::now();
    return s;
}

void TForm1::relayChanged() {
    const core::Identity now = relayNow();
    const bool connected = SerialDriver1->IsOpen();
    setpointPage().relayChanged(now, connected);
    faultPage().relayChanged(now, connected);
}
