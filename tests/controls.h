#pragma once
// The tests reach a window's controls the way a technician's tools would:
// by the object name each control carries, wherever it lives in the window.
#include <QLatin1String>
#include <QObject>
#include <QtGlobal>

template <class T> T* control(const QObject* window, const char* name) {
    T* c = window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
    if (!c) qFatal("the window has no control named %s", name);
    return c;
}
