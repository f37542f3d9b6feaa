#include "linemonitor/linemonitorpage.h"

#include "app/tform1.h"

LineMonitorPage::LineMonitorPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("LineMonitorPage"));
}
