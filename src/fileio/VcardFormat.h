// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

namespace q7 {

// Etc... has no vCard type. We write such a number as a voice number and mark
// it with a parameter of our own, which other address books ignore, so that
// it comes back as Etc... rather than Telefon.
inline constexpr QByteArrayView kEtcParameter = "X-Q7-TYPE";
inline constexpr QByteArrayView kEtcValue = "etc";

} // namespace q7
