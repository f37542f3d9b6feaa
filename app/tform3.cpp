#include "app/tform3.h"

#include "app/pictures.h"
#include "wait/czekaj.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>

TForm3::TForm3(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Form3"));
    setFixedSize(408, 295);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, 0, 408, 295);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(4);
    panel->setAutoFillBackground(true);
    QPalette silver = panel->palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    panel->setPalette(silver);

    Image1 = new QLabel(panel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(108, 22, 213, 187);
    Image1->setPixmap(QPixmap::fromImage(pictures::splash()));

    auto* bevel = new QFrame(panel);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setGeometry(12, 226, 387, 2);
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    Label1 = new QLabel(QStringLiteral("VRK-M"), panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big(QStringLiteral("MS Sans Serif"));
    big.setPixelSize(32);
    big.setBold(true);
    Label1->setFont(big);
    Label1->setStyleSheet(QStringLiteral("color: red"));
    Label1->adjustSize();
    Label1->move(24, 236);

    Label2 = new QLabel(QStringLiteral("2003   wersja 1.20"), panel);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont small = Label2->font();
    small.setPixelSize(13);
    Label2->setFont(small);
    Label2->adjustSize();
    Label2->move(260, 254);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TForm3::Timer1Timer);
    FormCreate();
    Timer1->start();

    if (QScreen* s = screen()) move(s->geometry().center() - rect().center());
}

void TForm3::FormCreate() {
    ready_ = false;
}

void TForm3::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Activation is handled once the message loop runs, as a window's
    // activation message would be.
    // A real timer, not a posted call: showing a window may deliver posted
    // events at once, while timers wait for the message loop.
    if (!activated_) {
        activated_ = true;
        auto* activation = new QTimer(this);
        activation->setSingleShot(true);
        activation->setInterval(1);
        connect(activation, &QTimer::timeout, this, &TForm3::FormActivate);
        activation->start();
    }
}

void TForm3::FormActivate() {
    czekaj(2500);
    ready_ = true;
}

void TForm3::Timer1Timer() {
    if (ready_) {
        Timer1->stop();
        close();
    }
}
