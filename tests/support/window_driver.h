// Finding and working the controls of a window the way a user would: by their
// object names, with real mouse clicks. A control that is not there stops the
// test run with its name and type, since every later step would only fail on a
// null pointer.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

class QWidget;

namespace tw::testing {

[[noreturn]] void missingControl(const QObject* root, const QString& name, const char* type);

// The child of `root` (at any depth) of type T named `name`.
template <typename T> T* child(const QObject* root, const QString& name) {
    T* found = root ? root->findChild<T*>(name) : nullptr;
    if (!found)
        missingControl(root, name, T::staticMetaObject.className());
    return found;
}
template <typename T> T* child(const QObject* root, const char* name) {
    return child<T>(root, QString::fromLatin1(name));
}

// A left click in the middle of the button named `name` under `root`.
void click(const QObject* root, const QString& name);
inline void click(const QObject* root, const char* name) {
    click(root, QString::fromLatin1(name));
}

} // namespace tw::testing
