#pragma once
// Runs a function whenever the language changes (the settings' choice), for
// texts set in code outside a window's own retranslation.
#include <functional>
#include <QEvent>
#include <QObject>

class LanguageFollower : public QObject {
public:
    LanguageFollower(QObject* watched, std::function<void()> retranslate)
        : QObject(watched), retranslate_(std::move(retranslate)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::LanguageChange) retranslate_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> retranslate_;
};
