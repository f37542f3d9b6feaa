#pragma once
// The service journal: every change made to the relay, its window.
#include <QObject>

class JournalWindow;
class TForm1;

class JournalPage : public QObject {
    Q_OBJECT
public:
    explicit JournalPage(TForm1& window);

    JournalWindow* JournalWindow1 = nullptr;

private:
    TForm1& w_;
};
