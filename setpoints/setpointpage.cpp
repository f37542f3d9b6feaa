#include "setpoints/setpointpage.h"

#include "app/tform1.h"

SetpointPage::SetpointPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("SetpointPage"));
}
