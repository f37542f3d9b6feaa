// The main window's data tied to the relay it came from: the setpoints last
// read (the value cells' tooltips and marks, the compare window) and the
// fault log (its rows and notice) say so once the relay connected is another
// or none. The rules live in relaydata/provenance.h.
#include "app/tform1.h"
#include "config/linesettings.h"
#include "config/tform2.h"
#include "core/link.h"
#include "faults/rules.h"
#include "relaydata/provenance.h"
#include "seams/seams.h"
#include "serial/tserialdriver.h"
#include "setpoints/comparewindow.h"
#include "setpoints/rules.h"
#include "widgets/controls.h"

#include <QCoreApplication>
#include <QLabel>

core::Identity TForm1::relayNow() const {
    if (!SerialDriver1->IsOpen()) return {};
    core::Identity id = Link1->identity();
    id.readAt = QDateTime();
    id.complete = id.variant.has_value();
    return id;
}

relaydata::Source TForm1::freshSource(std::optional<int> variantRead) const {
    relaydata::Source s;
    s.relay = relayNow();
    if (variantRead) s.relay.variant = variantRead;
    s.relay.readAt = seams::now();
    return s;
}

void TForm1::forgetOtherRelaysFaults() {
    if (faultPage().state.faultBlocksRead == 0) return;
    if (relaydata::stillCurrent(faultPage().state.source.relay, relayNow(), true)) return;
    // Another relay's trips would stand in for the blocks this read misses.
    faultPage().state.faultBuffer = {};
    faultPage().state.faultBlocksRead = 0;
    faultPage().state.faultBlocksFresh = 0;
}

void TForm1::relayChanged() {
    const core::Identity now = relayNow();
    const bool connected = SerialDriver1->IsOpen();

    const bool setpointsWere = setpointPage().state.source.earlier;
    if (!setpointPage().state.setpointImage.isEmpty())
        setpointPage().state.source = relaydata::afterChange(setpointPage().state.source, now, connected);
    if (setpointPage().state.source.earlier && !setpointsWere) {
        markChangedCells();
        if (auto* window = findChild<SetpointCompareWindow*>(QStringLiteral("SetpointCompare")))
            window->showRelay(relaydata::earlierNote(setpointPage().state.source.relay));
    }

    const bool faultsWere = faultPage().state.source.earlier;
    if (faultPage().state.faultBlocksRead != 0)
        faultPage().state.source = relaydata::afterChange(faultPage().state.source, now, connected);
    if (faultPage().state.source.earlier && !faultsWere) {
        // Every row listed is from the earlier relay now: grey, as the rows of an earlier read are.
        faultPage().state.faultBlocksFresh = 0;
        for (int r = 1; r <= faults::kRecords; ++r)
            for (int c = 1; c <= 3; ++c)
                if (QTableWidgetItem* item = faultPage().StringGrid2->item(r, c))
                    item->setForeground(QBrush(Qt::gray));
        faultPage().FaultLogNotice->setText(
            QCoreApplication::translate("relaydata", "Every trip listed is %1.")
                .arg(relaydata::earlierNote(faultPage().state.source.relay)));
        faultPage().FaultLogNotice->show();
    }
}
