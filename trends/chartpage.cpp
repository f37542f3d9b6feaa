#include "trends/chartpage.h"

#include "app/tform1.h"

ChartPage::ChartPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("ChartPage"));
}
