#include "records/recordspage.h"

#include "app/tform1.h"

RecordsPage::RecordsPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("RecordsPage"));
}
