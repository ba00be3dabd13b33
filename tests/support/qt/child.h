// A window's widget, action or menu by its object name, as tests reach the parts a window keeps private.
#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>
#include <typeinfo>

namespace hw::test {

// Throws (the test fails, naming what is missing) when the window has no such child of that type.
template <typename T> T* Child(const QObject& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        throw std::logic_error(window.objectName().toStdString() + " has no " + typeid(T).name() + " named " +
                               name);
    return child;
}

} // namespace hw::test
