#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace qsjuv {

// The user's settings of this program, or null when they cannot be read without blocking or
// ballooning: a settings file or its lock that is not a regular file (a FIFO would hang open() in
// QSettings for good), or that is larger than settings of this program ever get. Then nothing is
// remembered, without a message.
std::unique_ptr<QSettings> userSettings();

// Writes one value to the user's settings. False, with nothing written and no message, when they
// cannot be used or their lock cannot be had within a short time (another writer that hangs, or
// a stale lock that a full disk or a file-size limit keeps from being replaced).
bool storeUserSetting(const QString &key, const QVariant &value);
// Replaces one value by what update makes of the value stored now, with no other window's change
// between the read and the write. False as for storeUserSetting; *busy then says whether only
// another window's turn, longer than a turn may take, kept it from being stored.
bool updateUserSetting(const QString &key, const std::function<QVariant(const QVariant &)> &update,
                       bool *busy = nullptr);

} // namespace qsjuv
