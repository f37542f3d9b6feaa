#include "faults/faultpage.h"

#include "app/tform1.h"

FaultPage::FaultPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("FaultPage"));
}
