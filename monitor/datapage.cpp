#include "monitor/datapage.h"

#include "app/tform1.h"

DataPage::DataPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("DataPage"));
}
