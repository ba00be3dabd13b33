// Forms keep their widgets private; tests find them by object name.
#pragma once

#include <QObject>

#include <stdexcept>
#include <string>

namespace hw::test {

template <typename Part> Part& Named(const QObject& owner, const std::string& name) {
    auto* part = owner.findChild<Part*>(QString::fromStdString(name));
    if (!part) throw std::logic_error("no part named " + name);
    return *part;
}

} // namespace hw::test
