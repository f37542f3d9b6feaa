#pragma once
// Keeps every message logged while it exists, as "category: message", in
// place of the usual output: the program's trace (the vrk.* logging
// categories) as a test sees it. One at a time.
#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>

class TraceCapture {
public:
    enum Start { TraceOn, TraceOff };
    // TraceOn turns the vrk.* categories on at once; TraceOff leaves them
    // off until turnOn() (what is logged before that is kept too).
    explicit TraceCapture(Start start = TraceOn) {
        kept().clear();
        before_ = qInstallMessageHandler(keep);
        if (start == TraceOn) turnOn();
    }
    ~TraceCapture() { stop(); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    static void turnOn() { QLoggingCategory::setFilterRules(QStringLiteral("vrk.*=true")); }
    static void turnOff() { QLoggingCategory::setFilterRules(QString()); }

    // The lines so far.
    QStringList lines() const { return kept(); }
    // The messages of one category so far, without its name.
    QStringList messages(const QByteArray& category) const {
        const QString prefix = QString::fromLatin1(category) + QLatin1String(": ");
        QStringList out;
        for (const QString& line : kept())
            if (line.startsWith(prefix)) out << line.mid(prefix.size());
        return out;
    }
    // The trace off and the usual output back; the lines kept.
    QStringList stop() {
        if (on_) {
            turnOff();
            qInstallMessageHandler(before_);
            on_ = false;
        }
        return kept();
    }

private:
    static QStringList& kept() {
        static QStringList lines;
        return lines;
    }
    static void keep(QtMsgType, const QMessageLogContext& context, const QString& message) {
        kept() << QString::fromLatin1(context.category) + QLatin1String(": ") + message;
    }

    QtMessageHandler before_ = nullptr;
    bool on_ = true;
};
