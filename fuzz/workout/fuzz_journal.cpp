// SPDX-FileCopyrightText: 2026 The Tallyfin developers
// SPDX-License-Identifier: MIT
//
// Fuzz target: reading a workout journal. Any bytes are read without a crash; what is read has
// strictly rising sample times, writes back to a journal that reads as the same workout, and
// encodes to a FIT file whose length matches its header.
#include "workout/FitEncoder.h"
#include "workout/Journal.h"

#include <QtEndian>

#include <cstdint>
#include <cstdlib>

using namespace tallyfin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto result = journal::parse(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!result.workout) {
        if (result.error.isEmpty()) {
            std::abort();
        }
        return 0;
    }
    const Workout& workout = *result.workout;
    QByteArray written = journal::headerLine(workout);
    for (qsizetype i = 0; i < workout.samples.size(); ++i) {
        if (i > 0 && workout.samples[i].time <= workout.samples[i - 1].time) {
            std::abort();
        }
        written += journal::sampleLine(workout.samples[i]);
    }
    const auto again = journal::parse(written);
    if (!again.isIntact() || again.cutAtEnd || again.workout->samples != workout.samples ||
        again.workout->kind != workout.kind || again.workout->start != workout.start ||
        again.workout->machineName != workout.machineName) {
        std::abort();
    }
    if (workout.samples.size() < 2000) {
        const QByteArray fit = fit::encode(workout);
        if (fit.size() != 14 + qsizetype(qFromLittleEndian<quint32>(fit.constData() + 4)) + 2) {
            std::abort();
        }
    }
    return 0;
}
