#pragma once

#include <QSettings>

#include <memory>

namespace qsjuv {

// The user's settings of this program, or null when they cannot be used without blocking: a
// settings file or its lock that is not a regular file (a FIFO would hang open() in QSettings
// for good). Then nothing is remembered, without a message.
std::unique_ptr<QSettings> userSettings();

} // namespace qsjuv
