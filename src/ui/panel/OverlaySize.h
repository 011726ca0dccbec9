// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace tallyfin::ui {
Q_NAMESPACE

// How large the panel is while a machine is connected, in the order the size picker offers.
enum class OverlaySize { small, medium, large };
Q_ENUM_NS(OverlaySize)

inline constexpr std::array<OverlaySize, 3> allOverlaySizes{OverlaySize::small, OverlaySize::medium,
                                                            OverlaySize::large};

// The stored raw value: "small", "medium" or "large".
QString overlaySizeName(OverlaySize size);
// Exactly one of the three raw values (letter case counts), otherwise nullopt.
std::optional<OverlaySize> overlaySizeFromName(QStringView name);

} // namespace tallyfin::ui
