#include "journal/journalpage.h"

#include "app/tform1.h"

JournalPage::JournalPage(TForm1& window) : QObject(&window), w_(window) {
    setObjectName(QStringLiteral("JournalPage"));
}
